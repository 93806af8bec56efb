# make run     - install what building and running need, build both programs, start the window
# make test    - also the test tools, then the whole suite
# make bench   - an optimised build of its own, then every benchmark in one table
# make package - build/quelvane_<version>_<arch>.deb
# make test-fresh - run and test as a newcomer would, in new Debian 12 roots (root only);
#                   RELEASE=trixie: in Debian 13 roots, with the package built on 12
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

.PHONY: all deps deps-test deps-package configure build run test bench clean test-fresh

all: build

# Each task installs only its own tools (scripts/install-deps.sh lists the groups).
deps:
	@bash scripts/install-deps.sh run

deps-test:
	@bash scripts/install-deps.sh test

deps-package:
	@bash scripts/install-deps.sh package

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

configure: $(BUILD)/build.ninja

build: deps configure
	cmake --build $(BUILD)

# Only the two programs: the test suite takes most of a full build's time.
run: deps configure
	cmake --build $(BUILD) --target quelvane quelvane-roll
	@bash scripts/run.sh $(BUILD)

test: deps-test configure
	cmake --build $(BUILD)
	ctest --test-dir $(BUILD) --output-on-failure

# The programs and their desktop files as a Debian package, through CPack.
.PHONY: package
package: deps-package configure
	cmake --build $(BUILD) --target quelvane quelvane-roll
	cd $(BUILD) && cpack -G DEB

# README's two commands in new Debian roots (RELEASE: bookworm or trixie), on FRESH_COMMIT
# (committed work only).
FRESH_COMMIT ?= HEAD
RELEASE ?= bookworm
test-fresh:
	@RELEASE=$(RELEASE) bash scripts/test-fresh.sh $(FRESH_COMMIT)

# Never part of test: speed and memory are measured here, on a Release build beside $(BUILD).
BENCH_BUILD ?= build-bench

bench:
	@bash scripts/install-deps.sh bench
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DQUELVANE_BUILD_TESTS=OFF -DQUELVANE_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD)
	bash bench/run.sh $(BENCH_BUILD) $(BENCH_BUILD)/results

clean:
	rm -rf $(BUILD) $(BENCH_BUILD)

# The whole suite under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer.
SANITIZE_BUILD ?= build-sanitize
.PHONY: test-sanitize
# It builds the benchmarks as well (not run), so that CI compiles every line that is built anywhere.
test-sanitize:
	@bash scripts/install-deps.sh bench
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUELVANE_SANITIZE=ON \
		-DQUELVANE_BUILD_BENCH=ON
	cmake --build $(SANITIZE_BUILD)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure

# Coverage-guided fuzzing of the character-file reader (clang, libFuzzer, ASan, UBSan).
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300
.PHONY: fuzz
fuzz:
	@bash scripts/install-deps.sh fuzz
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DQUELVANE_MODEL_ONLY=ON -DQUELVANE_FUZZ=ON
	cmake --build $(FUZZ_BUILD)
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/findings
	$(FUZZ_BUILD)/tests/fuzz_character_file $(FUZZ_BUILD)/corpus tests/fuzz/corpus \
		-dict=tests/fuzz/character_file.dict -max_total_time=$(FUZZ_SECONDS) \
		-timeout=5 -rss_limit_mb=1024 -print_final_stats=1 \
		-artifact_prefix=$(FUZZ_BUILD)/findings/
