# Set-up, build and test in one step each. `make run` and `make test` install what is missing.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_MINUTES ?= 10
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
PREFIX     ?= /usr/local
# CI builds hold our own code to zero warnings.
ifeq ($(CI),true)
CMAKE_ARGS += -DTGW_WERROR=ON
WERROR_ARGS = -DTGW_WERROR=ON
endif

.PHONY: all deps configure build run test test-sanitize test-tsan bench fuzz fuzz-long tools format \
	format-check clean install package translations

all: build

deps:
	@bash scripts/deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

configure: deps $(BUILD)/build.ninja

build: configure
	ninja -C $(BUILD) -j $(JOBS)

run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] || [ "$$QT_QPA_PLATFORM" = offscreen ]; then \
	    $(BUILD)/src/app/tessaglyphworks; \
	else \
	    echo "No display: the desktop program needs one. Showing 'tgw render' on a sample instead."; \
	    $(BUILD)/src/cli/tgw render --font-kind ascii5x7 A; \
	    $(BUILD)/src/cli/tgw render --font-kind gb2312-16 --width 16 --height 16 中; \
	fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The core, tgw and their tests again with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) -G Ninja \
	    -DCMAKE_BUILD_TYPE=Debug -DTGW_GUI=OFF -DTGW_BENCH=OFF -DTGW_SANITIZE=ON $(WERROR_ARGS)
	ninja -C $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	    ctest --output-on-failure -j $(JOBS)

# The library builder's worker thread and the transfer code with their tests under ThreadSanitizer.
TSAN_TARGETS = test_library test_transfer tgw
test-tsan: deps
	@[ -f $(TSAN_BUILD)/build.ninja ] || cmake -S . -B $(TSAN_BUILD) -G Ninja \
	    -DCMAKE_BUILD_TYPE=Debug -DTGW_GUI=OFF -DTGW_BENCH=OFF -DTGW_TSAN=ON $(WERROR_ARGS)
	ninja -C $(TSAN_BUILD) -j $(JOBS) $(TSAN_TARGETS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	    ctest --output-on-failure -j $(JOBS) -R '^(test_library|test_transfer)\.|^cli_send$$'

# Both programs with their desktop entry, icon, project file type, manual page and completion;
# DESTDIR stages the tree elsewhere (as a package build does).
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A Debian package in $(BUILD): tessaglyphworks_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# libFuzzer binaries of the fuzz targets, built with clang (run them by hand on their corpus).
FUZZ_CONFIGURE = [ -f build-fuzz/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz \
	-G Ninja -DTGW_GUI=OFF -DTGW_BENCH=OFF -DTGW_FUZZ=ON
fuzz: deps
	@$(FUZZ_CONFIGURE)
	ninja -C build-fuzz -j $(JOBS)

# Each fuzz target (one per folder of tests/fuzz/corpus) for FUZZ_MINUTES minutes, from its corpus.
# What it finds collects in build-fuzz/corpus/; with FUZZ_MERGE=1 the inputs that reach new code
# are then merged into tests/fuzz/corpus (to commit). A crash stops the run and leaves its input
# in build-fuzz/.
FUZZ_TARGETS ?= $(notdir $(patsubst %/,%,$(wildcard tests/fuzz/corpus/*/)))
FUZZ_MERGE ?= 0
fuzz-long: deps
	@$(FUZZ_CONFIGURE)
	ninja -C build-fuzz -j $(JOBS) $(FUZZ_TARGETS)
	@set -e; for name in $(FUZZ_TARGETS); do \
	    echo "== $$name for $(FUZZ_MINUTES) min"; \
	    mkdir -p build-fuzz/corpus/$$name; \
	    (cd build-fuzz && ./tests/fuzz/$$name -max_total_time=$$(( $(FUZZ_MINUTES) * 60 )) \
	        -artifact_prefix=$$name- -print_final_stats=1 \
	        corpus/$$name $(CURDIR)/tests/fuzz/corpus/$$name); \
	    if [ "$(FUZZ_MERGE)" = 1 ]; then \
	        (cd build-fuzz && ./tests/fuzz/$$name -merge=1 $(CURDIR)/tests/fuzz/corpus/$$name \
	            corpus/$$name 2>&1 | tail -1); \
	    fi; \
	done

# Regenerates the built-in dot fonts from the bitmap font packages (not needed to build).
tools: deps
	cmake -S . -B $(BUILD) -G Ninja -DTGW_TOOLS=ON $(CMAKE_ARGS)
	ninja -C $(BUILD) tgw-fontgen

# Refreshes src/app/translations/*.ts from the code; then translate what lupdate marks unfinished.
translations:
	@bash scripts/update_translations.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Fails when a tracked source is not as clang-format would write it.
format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD)
