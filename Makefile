# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrapper around CMake. `make demo` and `make test` are all a newcomer needs; `make package`
# builds the Debian package, `make install` installs from the build folder.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
PACKAGE_BUILD ?= build-package
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
TEST_FUZZ_SECONDS ?= 5
# ccache, where installed, makes rebuilds in other checkouts of the tree cheap.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: deps build build-asan app demo install package test test-fast test-asan test-fuzz test-share fuzz bench soak screenshots clean

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMOUSECFG_SANITIZE=ON -DMOUSECFG_BUILD_BENCH=OFF $(LAUNCHER)

# The package is built apart from the working build: installed to /usr, without tests, and
# without any data that running the program from a build folder leaves behind.
$(PACKAGE_BUILD)/CMakeCache.txt:
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	      -DMOUSECFG_BUILD_TESTS=OFF -DMOUSECFG_BUILD_BENCH=OFF $(LAUNCHER)

# The parsers' fuzzing harnesses alone (libFuzzer needs clang), on the libraries they call.
$(FUZZ_BUILD)/CMakeCache.txt:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOUSECFG_FUZZ=ON \
	      -DMOUSECFG_BUILD_TESTS=OFF -DMOUSECFG_BUILD_BENCH=OFF $(LAUNCHER)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# Only the program, its data and what an install adds (no tests, no benchmarks).
app: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target mousecfg mousecfg_packaging

demo: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target mousecfg
	$(BUILD)/mousecfg --demo

# Under the configured prefix (/usr/local unless CMAKE_INSTALL_PREFIX says otherwise);
# `make install DESTDIR=/some/folder` puts the tree there instead.
install: app
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD)

package: deps $(PACKAGE_BUILD)/CMakeCache.txt
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB
	@ls -1 $(PACKAGE_BUILD)/*.deb

# The suite runs twice: a normal build and one under AddressSanitizer + UBSan.
test: test-fast test-asan test-fuzz
	@scripts/test-share.sh

test-fast: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# Each harness for FUZZ_SECONDS (`make fuzz FUZZ_SECONDS=600` for a long run); fails on a finding.
fuzz: deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Both suites replay the fuzzing corpora (fuzz_replay/*). Fuzzing itself is added where a
# `make fuzz` build exists: building it with clang takes longer than the suite may grow.
test-fuzz:
	@if [ -f $(FUZZ_BUILD)/CMakeCache.txt ]; then $(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(TEST_FUZZ_SECONDS); \
	else echo "test-fuzz: skipped, no $(FUZZ_BUILD) (\`make fuzz\` makes one)"; fi

test-share:
	@scripts/test-share.sh

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && echo "== $$b" && "$$b"; done; true

# The program on its virtual mouse for MINUTES (10 by default): plugs, reports and window shows,
# its memory, descriptors and threads sampled (bench/soak.py; the plot goes to the build folder).
MINUTES ?= 10
soak: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target mousecfg
	python3 bench/soak.py --minutes $(MINUTES) --binary $(BUILD)/mousecfg --plot $(BUILD)/soak.png --log $(BUILD)/soak.log \
	        --data $(BUILD)/soak.tsv

# The window on both virtual mice in every shipped language, drawn offscreen (see README).
screenshots: build
	$(BUILD)/tests/mousecfg_screenshots docs/screenshots

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(PACKAGE_BUILD) $(FUZZ_BUILD)
