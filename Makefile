# Tavo Wallpaper 2: `make run` and `make test` are the two commands; the rest are their steps.
SHELL := /bin/bash
JOBS ?= 2
FUZZ_SECONDS ?= 60

.PHONY: all deps native asan pedantic win32 dist test unit-test unit-test-asan wine-test e2e-test run fuzz bench format clean

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

win32: deps
	@bash scripts/build-libjpeg-win32.sh
	@cmake --preset win32 >/dev/null
	@cmake --build build/win32 -j$(JOBS)

unit-test: native
	@bash scripts/fetch-libjpeg-source.sh
	@cd build/native && ctest --output-on-failure -j$(JOBS) -L unit

unit-test-asan: asan
	@bash scripts/fetch-libjpeg-source.sh
	@cd build/native-asan && ctest --output-on-failure -j$(JOBS) -L unit

wine-test: native win32
	@bash tests/wine/prepare_matches_native.sh build/native build/win32

e2e-test: native win32
	@cd build/native && ctest --output-on-failure -L e2e

test: unit-test unit-test-asan pedantic wine-test e2e-test

dist: win32
	@bash scripts/make-dist.sh build/win32 dist

run: native win32
	@bash scripts/run.sh

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build build/fuzz -j$(JOBS)
	@bash tests/fuzz/run.sh build/fuzz $(FUZZ_SECONDS)

bench: native win32
	@bash bench/run.sh
	@bash bench/run_length.sh
	@bash bench/tray.sh
	@bash bench/add_files.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build/native build/native-asan build/clang-pedantic build/win32 build/fuzz dist
