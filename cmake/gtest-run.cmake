# Runs one GoogleTest program and passes only when it ran to gtest's end: the program is given
# --gtest_output=xml:RESULT, which gtest writes after its last test, so a crash or an early exit
# leaves none, whatever exit code the program ended with (Wine can end a crashed program with 0).
# The result must list every test it counts and no failure, and at least one test must have run
# to its end: a suite whose tests are all disabled, filtered away or skipped tested nothing.
#   cmake -DOV_RESULT=RESULT -P gtest-run.cmake -- COMMAND [ARGS...]
# COMMAND is the program, or what runs it (cmake/wine-run, cmake/wine-dpi, tests/download/check),
# which hands the arguments on; RESULT is relative to the working directory, as the program under
# Wine and natively sees the same one.
cmake_minimum_required(VERSION 3.20)

set(command)
set(take FALSE)
foreach(i RANGE 1 ${CMAKE_ARGC})
    if(take AND DEFINED CMAKE_ARGV${i})
        list(APPEND command "${CMAKE_ARGV${i}}")
    elseif("${CMAKE_ARGV${i}}" STREQUAL "--")
        set(take TRUE)
    endif()
endforeach()
if(NOT command OR NOT OV_RESULT)
    message(FATAL_ERROR "usage: cmake -DOV_RESULT=RESULT -P gtest-run.cmake -- COMMAND [ARGS...]")
endif()

# A result left by an earlier run must never stand in for this one.
file(REMOVE "${OV_RESULT}")
get_filename_component(folder "${OV_RESULT}" DIRECTORY)
if(folder)
    file(MAKE_DIRECTORY "${folder}")
endif()

execute_process(COMMAND ${command} "--gtest_output=xml:${OV_RESULT}" RESULT_VARIABLE code)

if(NOT EXISTS "${OV_RESULT}")
    message(FATAL_ERROR "gtest-run: the program ended before gtest's summary, with exit code "
                        "${code} (a crash or an early exit): no ${OV_RESULT}")
endif()
file(READ "${OV_RESULT}" xml)
string(REGEX MATCH "<testsuites tests=\"([0-9]+)\" failures=\"([0-9]+)\"" root "${xml}")
set(tests "${CMAKE_MATCH_1}")
set(failures "${CMAKE_MATCH_2}")
string(REGEX MATCHALL "<testcase " listed "${xml}")
list(LENGTH listed listedCount)
# A disabled test is listed with result "suppressed", a skipped one with "skipped".
string(REGEX MATCHALL "result=\"completed\"" completed "${xml}")
list(LENGTH completed completedCount)
if(NOT root)
    message(FATAL_ERROR "gtest-run: ${OV_RESULT} is not a complete gtest result")
elseif(tests EQUAL 0 OR completedCount EQUAL 0)
    message(FATAL_ERROR "gtest-run: the program ran no test (${tests} listed, "
                        "none of them run to its end: disabled, skipped or none)")
elseif(NOT listedCount EQUAL tests)
    message(FATAL_ERROR "gtest-run: ${OV_RESULT} lists ${listedCount} of ${tests} tests")
elseif(NOT failures EQUAL 0 OR NOT code EQUAL 0)
    message(FATAL_ERROR "gtest-run: ${failures} tests failed, exit code ${code}")
endif()
