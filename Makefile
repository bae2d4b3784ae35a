# Wraps CMake. `make run` and `make test` are the two commands a fresh Debian 12
# machine needs; both install missing packages first.

JOBS ?= $(shell nproc)
# The order of the single-process shuffled test run; another seed gives another order.
SHUFFLE_SEED ?= 1
CMAKE_GEN := -G Ninja

.PHONY: all run test tsan bench fuzz deps build-release build-game build-test check-format clean

all: build-release

deps:
	@tools/install-deps

build/release/build.ninja: | deps
	cmake -S . -B build/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build/test/build.ninja: | deps
	cmake -S . -B build/test $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON

build-release: deps build/release/build.ninja
	cmake --build build/release -j $(JOBS)

# The game and what it reads at run time (its content, fonts, pictures and sounds, and
# the content tools that make them); tests, benchmarks and the other tools wait for
# `make test` and `make bench`.
build-game: deps build/release/build.ninja
	cmake --build build/release -j $(JOBS) --target velmora

build-test: deps build/test/build.ninja
	cmake --build build/test -j $(JOBS)

run: build-game
	cd build/release && ./velmora

# Every source and header laid out as .clang-format says; tools/check-format --fix
# formats them.
check-format: deps
	tools/check-format

test: check-format build-test
	cd build/test && ctest --output-on-failure -j $(JOBS)
	tools/run-shuffled build/test $(SHUFFLE_SEED)

# The tests that start threads (the cursor thread, the debug log's writers, the sound
# service thread and the audio callback), built with ThreadSanitizer: a race fails them.
TSAN_LABELS := foundation|platform|sound|game
TSAN_TARGETS := test_foundation test_platform test_sound test_game
build/tsan/build.ninja: | deps
	cmake -S . -B build/tsan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_TSAN=ON

tsan: deps build/tsan/build.ninja
	cmake --build build/tsan -j $(JOBS) --target $(TSAN_TARGETS)
	cd build/tsan && ctest --output-on-failure -j $(JOBS) -L '$(TSAN_LABELS)'

bench: deps build/release/build.ninja
	cmake --build build/release -j $(JOBS) --target benchmarks
	@for b in build/release/bench/bench_*; do [ -x "$$b" ] && { echo; echo "== $$(basename "$$b")"; "$$b"; }; done; true

build/fuzz/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B build/fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON

fuzz: deps build/fuzz/build.ninja
	cmake --build build/fuzz -j $(JOBS)
	@tools/run-fuzzers build/fuzz/fuzz fuzz/corpus $${FUZZ_SECONDS:-30}

clean:
	rm -rf build
