// The runtime under the windows: a library bound on first use that cannot be bound ends the event
// in the top-level error box, named, and the program goes on; COM ends with the application's
// loop.
#include "uCmnApp.h"
#include "uCmnCom.h"
#include "uCmnError.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

// Delay-loaded: a library that does not exist, and an entry kernel32 does not have.
extern "C" __declspec(dllimport) void WINAPI OvMissingEntry();
extern "C" __declspec(dllimport) void WINAPI OvNoSuchEntry();

namespace {

// The text of the top-level error box that a call into a delay-loaded entry ends in.
std::wstring Reported(void(WINAPI* call)()) {
    return AnswerBox(
               [&] {
                   try {
                       call();
                   } catch (...) {
                       Application.HandleCurrentException();
                   }
               },
               IDOK)
        .text;
}

TEST(DelayLoad, ALibraryOrEntryThatCannotBeBoundIsNamedInTheErrorBoxEachTime) {
    Application.Initialize();
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(Reported(OvMissingEntry), L"'ovMissing.dll' を読み込めません.");
        EXPECT_EQ(Reported(OvNoSuchEntry), L"'kernel32.dll' に 'OvNoSuchEntry' がありません.");
    }
    // A clean-up that calls into a missing entry while that error unwinds is skipped, never a
    // second error: the first one is reported. A second error there would end the program, so
    // the case runs in a process of its own, which must end by its own word.
    EXPECT_EXIT(
        {
            std::wstring reported;
            try {
                struct TCleanUp {
                    ~TCleanUp() { OvNoSuchEntry(); }
                } cleanUp;
                OvMissingEntry();
            } catch (const std::exception& e) {
                reported = ErrorMessageOf(e);
            }
            ::ExitProcess(reported == L"'ovMissing.dll' を読み込めません" ? 7 : 8);
        },
        ::testing::ExitedWithCode(7), "");
}

TEST(Com, TheApplicationsLoopEndsItOnItsThreadAndALaterUseStartsItAgain) {
    std::thread([] {
        ASSERT_TRUE(ComEnsure());
        ::PostQuitMessage(0);
        Application.Run();
        // A thread that still had its apartment could not enter the multithreaded one.
        const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(hr, S_OK);
        if (SUCCEEDED(hr))
            ::CoUninitialize();
        EXPECT_TRUE(ComEnsure());
        EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
        ComEnd();
    }).join();
}

} // namespace
