# make run  - install what is missing, build, start the program
# make test - the same set-up, then the whole suite
# make bench - an optimised build of its own, then every benchmark in one table
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

configure: $(BUILD)/build.ninja

build: deps configure
	cmake --build $(BUILD)

run: build
	@bash scripts/run.sh $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure

# Never part of test: speed and memory are measured here, on a Release build beside $(BUILD).
BENCH_BUILD ?= build-bench

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DQUELVANE_BUILD_TESTS=OFF -DQUELVANE_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD)
	bash bench/run.sh $(BENCH_BUILD) $(BUILD)/bench

clean:
	rm -rf $(BUILD) $(BENCH_BUILD)
