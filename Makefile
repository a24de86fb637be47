# Set-up, build and test in one step each. `make run` and `make test` install what is missing.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure build run test test-sanitize bench fuzz tools format translations clean

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
	    -DCMAKE_BUILD_TYPE=Debug -DTGW_GUI=OFF -DTGW_BENCH=OFF -DTGW_SANITIZE=ON
	ninja -C $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	    ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# libFuzzer binaries of the fuzz targets, built with clang (run them by hand on their corpus).
fuzz: deps
	@[ -f build-fuzz/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja \
	    -DTGW_GUI=OFF -DTGW_BENCH=OFF -DTGW_FUZZ=ON
	ninja -C build-fuzz -j $(JOBS)

# Regenerates the built-in dot fonts from the bitmap font packages (not needed to build).
tools: deps
	cmake -S . -B $(BUILD) -G Ninja -DTGW_TOOLS=ON $(CMAKE_ARGS)
	ninja -C $(BUILD) tgw-fontgen

# Refreshes src/app/translations/*.ts from the code; then translate what lupdate marks unfinished.
translations:
	@bash scripts/update_translations.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
