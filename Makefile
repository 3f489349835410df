# make run   installs what is missing, builds the program and the simulator, starts Talmeno
# make test  installs what is missing, builds everything and runs the whole test suite
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build program run test bench sanitize clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Only the program and the simulator: the tests and benchmarks are most of the tree.
program: configure
	@cmake --build $(BUILD) -j $(JOBS) --target talmeno talmeno-sim

run: program
	./$(BUILD)/bin/talmeno

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bin/bench_*; do [ -x "$$b" ] && "$$b"; done

# Address and undefined-behaviour sanitizer build and suite, in its own folder.
sanitize:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DTALMENO_SANITIZE=ON -DTALMENO_BUILD_BENCH=OFF"

clean:
	rm -rf $(BUILD)
