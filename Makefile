# Front door: `make demo` and `make test` install what is missing, build and run.
# Build folders: build/native (g++, sanitizers), build/win (mingw, run under Wine), build/fuzz (clang).
SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Debug

.PHONY: all deps native win fuzz test native-test win-test fuzz-test demo clean

all: native win

deps:
	@bash scripts/install-deps.sh

build/native/CMakeCache.txt: | deps
	cmake -S . -B build/native $(CMAKE_FLAGS)

build/win/CMakeCache.txt: | deps
	cmake -S . -B build/win -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

build/fuzz/CMakeCache.txt: | deps
	CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_FUZZ=ON

native: deps build/native/CMakeCache.txt
	cmake --build build/native -j $(JOBS)

win: deps build/win/CMakeCache.txt
	cmake --build build/win -j $(JOBS)

fuzz: deps build/fuzz/CMakeCache.txt
	cmake --build build/fuzz -j $(JOBS)

native-test: native
	ctest --test-dir build/native --output-on-failure

# One Xvfb display and one persistent wineserver for the whole Wine run.
win-test: win
	@bash scripts/with-display.sh ctest --test-dir build/win --output-on-failure

fuzz-test: fuzz
	ctest --test-dir build/fuzz --output-on-failure

# Every suite runs even when an earlier one fails; the exit code says whether all passed.
test: deps
	@status=0; \
	$(MAKE) --no-print-directory native-test || status=1; \
	$(MAKE) --no-print-directory win-test || status=1; \
	$(MAKE) --no-print-directory fuzz-test || status=1; \
	if [ $$status -eq 0 ]; then echo "make test: all suites passed"; else echo "make test: FAILED"; fi; \
	exit $$status

demo: native win
	@bash scripts/demo.sh

clean:
	rm -rf build
