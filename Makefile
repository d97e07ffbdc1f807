# The two set-up commands of the README, and the builds behind them.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: run test build deps asan fuzz bench format-check package package-test clean

deps:
	./scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run-program $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The engine tests with AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets.
asan: deps
	CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DTG_SANITIZE=ON -DTG_FUZZ=ON -DTG_GUI=OFF -DTG_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS) -L engine

FUZZ_SECONDS ?= 60
fuzz: asan
	./scripts/run-fuzzers build-asan $(FUZZ_SECONDS)

# Every C++ file as .clang-format lays it out (scripts/check-format --fix formats them).
format-check: deps
	./scripts/check-format

# The Debian package tonegrove_<version>_<arch>.deb in the build folder, and its check: installed
# (as root) or unpacked, run on the demo project, removed.
package: build
	cd $(BUILD) && cpack -G DEB

package-test: package
	./packaging/test-package $(BUILD)

bench: build
	./scripts/run-benchmarks $(BUILD)

clean:
	rm -rf $(BUILD) build-asan
