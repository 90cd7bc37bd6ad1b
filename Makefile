# Thin wrapper around CMake. `make demo` and `make test` are all a newcomer needs.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
# ccache, where installed, makes rebuilds in other checkouts of the tree cheap.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: deps build build-asan demo test test-fast test-asan bench screenshots clean

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMOUSECFG_SANITIZE=ON -DMOUSECFG_BUILD_BENCH=OFF $(LAUNCHER)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

demo: build
	$(BUILD)/mousecfg --demo

# The suite runs twice: a normal build and one under AddressSanitizer + UBSan.
test: test-fast test-asan

test-fast: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && echo "== $$b" && "$$b"; done; true

# The window on both virtual mice in every shipped language, drawn offscreen (see README).
screenshots: build
	$(BUILD)/tests/mousecfg_screenshots docs/screenshots

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
