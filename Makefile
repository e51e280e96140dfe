# Kestra: the two everyday commands are `make run` and `make test`.
BUILD       ?= build
FUZZ_BUILD  ?= build-fuzz
BUILD_TYPE  ?= RelWithDebInfo
KESTRA_WERROR ?= OFF
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKESTRA_WERROR=$(KESTRA_WERROR)

.PHONY: all deps configure build test test-core test-fuzz run bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j 2

# The fuzz targets need clang and a sanitized core, so they live in a second, core-only tree;
# they run first so that the main suite's summary is the last thing printed.
test: build
	@if [ -f $(FUZZ_BUILD)/CMakeCache.txt ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' $(FUZZ_BUILD)/CMakeCache.txt; then rm -rf $(FUZZ_BUILD); fi
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DKESTRA_CORE_ONLY=ON -DKESTRA_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(FUZZ_BUILD) --target kestra_fuzzers -j 2
	cd $(FUZZ_BUILD) && ctest -L fuzz --output-on-failure
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2

# Packages first (they bring xvfb-run), then the display check, so a headless machine hears
# about the display before a long build.
run: deps
	@scripts/run-desktop --check
	@$(MAKE) --no-print-directory build
	@scripts/run-desktop $(BUILD)

bench: build
	@scripts/run-benchmarks $(BUILD)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)

# `make install` puts the programs, the desktop file, the metainfo, the icons and the man page
# under PREFIX (DESTDIR honoured); `make package` builds a .deb for /usr in $(BUILD)/packages.
# Both use the install rules of cmake/KestraInstall.cmake.
PREFIX ?= /usr/local
.PHONY: install package

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: build
	cd $(BUILD) && cpack -G DEB
