# Thin front door over scripts/setup.sh and CMake; the build logic lives in CMakeLists.txt.
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
JOBS ?= $(shell nproc)
WERROR ?= ON
# Extra arguments for the demo, e.g. make run ARGS='--frames 600'
ARGS ?=

.PHONY: run test setup build test-release build-asan test-asan build-tsan test-tsan bench clean

run: setup build
	cd assets && ../$(BUILD)/app/softcube $(ARGS)

test: setup build test-release test-asan test-tsan

setup:
	@bash scripts/setup.sh

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DSOFTCUBE_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

build-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSOFTCUBE_SANITIZE=ON -DSOFTCUBE_BENCH=OFF -DSOFTCUBE_WERROR=$(WERROR)
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -LE no-sanitize

# ThreadSanitizer: only the tests that run threads (ctest label "threads"), in a build of their own.
build-tsan:
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOFTCUBE_TSAN=ON -DSOFTCUBE_BENCH=OFF -DSOFTCUBE_WERROR=$(WERROR)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target test_threaded

test-tsan: build-tsan
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) -L threads

bench: setup build
	$(BUILD)/bench/softcube_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD)

# Robustness checks (tests/README.md): fuzzing, memcheck and the soak run.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
SOAK_FRAMES ?= 100000
VALGRIND_FRAMES ?= 30

.PHONY: fuzz-smoke fuzz-long valgrind soak

fuzz-smoke: setup
	FUZZ_BUILD=$(FUZZ_BUILD) bash scripts/fuzz.sh smoke $(FUZZ_BUILD)

fuzz-long: setup
	FUZZ_BUILD=$(FUZZ_BUILD) bash scripts/fuzz.sh long $(FUZZ_SECONDS)

valgrind: setup
	bash scripts/valgrind.sh build-valgrind $(VALGRIND_FRAMES)

soak: setup build
	bash scripts/soak.sh $(BUILD) $(SOAK_FRAMES)
