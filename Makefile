# Wraps CMake. `make run` sets up, builds, builds the data tree and starts
# tarvo on the default data; `make test` sets up, builds and runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: run test setup build test-sanitize clean

run: build
	cd $(BUILD)/data/USERDATA && exec ../../bin/tarvo

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

setup:
	scripts/setup $(BUILD)

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)
	cmake --build $(BUILD) -j$(JOBS)

# The suite once more under AddressSanitizer and UndefinedBehaviorSanitizer,
# against the data tree of the release build; the slow comparisons with the
# long-span references (label accuracy) run in the release run only.
test-sanitize: build
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Release -DTARVO_SANITIZE=ON \
	      -DTARVO_BUILD_DATA_TREE=OFF -DTARVO_BUILD_BENCHMARKS=OFF \
	      -DTARVO_TEST_TREE=$(abspath $(BUILD))/data $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS) -LE accuracy

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
