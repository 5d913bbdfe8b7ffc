# The two commands: `make run` and `make test` (plus `make build`, `make check`, `make bench`,
# `make dist`, `make format`).
# Both install what is missing (Debian, as root), build with MinGW-w64 and run under Wine.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# Options of the benchmark program, e.g. BENCH_ARGS=--probe=1.
BENCH_ARGS ?=
TOOLCHAIN := cmake/mingw-w64-x86_64.cmake

# One unit's suite, built alone and run: `make check UNIT=uOvReg` (its suite test_uOvReg), or
# `make check SUITE=test_uOvSearch`; FILTER=Case.* runs only those cases.
UNIT ?=
SUITE ?= $(if $(UNIT),test_$(UNIT))
FILTER ?=

.PHONY: all deps build run test check bench dist format clean
all: build

deps:
	@tools/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@cmake/session $(BUILD) tools/run-launcher $(BUILD)

test: build
	@cmake/session $(BUILD) ctest --test-dir $(BUILD) --output-on-failure -j1

check: $(BUILD)/CMakeCache.txt
	@test -n "$(SUITE)" || { echo "usage: make check UNIT=uOvReg | SUITE=test_uOvReg [FILTER=Case.*]" >&2; exit 2; }
	@cmake --build $(BUILD) -j $(JOBS) --target $(SUITE)
	@GTEST_FILTER='$(if $(FILTER),$(FILTER),*)' cmake/session $(BUILD) ctest --test-dir $(BUILD) \
		--output-on-failure -R '^$(SUITE)$$'

bench: build
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@cmake/session $(BUILD) tools/run-bench $(BUILD) $(BENCH_ARGS)

# The download: build/Orvanta-<version>.zip.
dist: build
	@cmake --build $(BUILD) --target dist

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
