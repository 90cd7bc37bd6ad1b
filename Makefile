# Thin wrapper around CMake. `make demo` and `make test` are all a newcomer needs; `make package`
# builds the Debian package, `make install` installs from the build folder.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
PACKAGE_BUILD ?= build-package
# ccache, where installed, makes rebuilds in other checkouts of the tree cheap.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: deps build build-asan app demo install package test test-fast test-asan test-share bench soak screenshots clean

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
test: test-fast test-asan
	@scripts/test-share.sh

test-fast: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

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
	rm -rf $(BUILD) $(ASAN_BUILD) $(PACKAGE_BUILD)
