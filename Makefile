# Tavo Wallpaper 2: `make run` and `make test` are the two commands; the rest are their steps.
SHELL := /bin/bash
JOBS ?= 2
FUZZ_SECONDS ?= 60

.PHONY: all deps native asan pedantic win32 win64 windows dist test unit-test unit-test-asan wine-test e2e-test e2e-stress run fuzz bench format clean

all: native

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake --preset native >/dev/null
	@cmake --build build/native -j$(JOBS)

asan: deps
	@cmake --preset native-asan >/dev/null
	@cmake --build build/native-asan -j$(JOBS)

# The portable code with clang in strict ISO C++17: what MSVC must compile too.
pedantic: deps
	@cmake --preset clang-pedantic >/dev/null
	@cmake --build build/clang-pedantic -j$(JOBS)

# The program for 32-bit Windows (the release's program) and the same for 64-bit Windows.
win32 win64: deps
	@bash scripts/build-libjpeg-windows.sh $@
	@cmake --preset $@ >/dev/null
	@cmake --build build/$@ -j$(JOBS)

windows: win32 win64

unit-test: native
	@bash scripts/fetch-libjpeg-source.sh
	@cd build/native && ctest --output-on-failure -j$(JOBS) -L unit

unit-test-asan: asan
	@bash scripts/fetch-libjpeg-source.sh
	@cd build/native-asan && ctest --output-on-failure -j$(JOBS) -L unit

# Each Windows build runs under Wine where this host can execute it; one this host cannot execute (32-bit code
# on a kernel without it) says so in one line and exits 77, which alone is not a failure.
wine-test: native windows
	@for build in win32 win64; do bash tests/wine/prepare_matches_native.sh build/native build/$$build || \
		[ $$? -eq 77 ] || exit 1; done

e2e-test: native windows
	@for build in win32 win64; do bash tests/e2e/run.sh build/native build/$$build || [ $$? -eq 77 ] || exit 1; done

test: unit-test unit-test-asan pedantic wine-test e2e-test

# The end-to-end run under load, not part of `make test`: N runs (default 3) of each Windows build, or of BUILD
# (win32 or win64) alone, with one busy process per core beside them.
N ?= 3
BUILD ?=
e2e-stress: native $(if $(BUILD),$(BUILD),windows)
	@bash tests/e2e/stress.sh $(N) $(BUILD)

dist: windows
	@bash scripts/make-dist.sh build/win32 dist
	@bash scripts/make-dist.sh build/win64 dist

run: native windows
	@bash scripts/run.sh

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build build/fuzz -j$(JOBS)
	@bash tests/fuzz/run.sh build/fuzz $(FUZZ_SECONDS)

bench: native windows
	@bash bench/run.sh
	@bash bench/run_length.sh
	@bash bench/tray.sh
	@bash bench/add_files.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build/native build/native-asan build/clang-pedantic build/win32 build/win64 build/fuzz dist
