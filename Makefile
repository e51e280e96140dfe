# SPDX-License-Identifier: GPL-3.0-or-later
# Kestra: the two everyday commands are `make run` and `make test`.
BUILD       ?= build
FUZZ_BUILD  ?= build-fuzz
BUILD_TYPE  ?= RelWithDebInfo
# Warnings become errors with KESTRA_WERROR=ON (CI does that); unset, a tree keeps its setting.
KESTRA_WERROR ?=
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
               $(if $(KESTRA_WERROR),-DKESTRA_WERROR=$(KESTRA_WERROR))

.PHONY: all deps configure build test test-main test-fuzz run bench clean FORCE

all: build

deps:
	@scripts/install-deps

# cmake runs only when the build tree is new or its flags changed (KESTRA_WERROR=ON after OFF,
# another BUILD_TYPE); the stamp is rewritten only then, so make compares its date with
# build.ninja's. Changes to the CMakeLists are ninja's business: it re-runs cmake itself.
$(BUILD)/kestra-flags: FORCE | deps
	@mkdir -p $(BUILD)
	@echo '$(CMAKE_FLAGS)' | cmp -s - $@ || echo '$(CMAKE_FLAGS)' > $@

$(BUILD)/build.ninja: $(BUILD)/kestra-flags
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: $(BUILD)/build.ninja
	cmake --build $(BUILD) -j 2

# The unit, protocol, widget and end-to-end tests first; then the fuzz targets, which need clang
# and a sanitized core and so build in a second, core-only tree. The last two lines printed sum
# up each part.
test: build
	@scripts/run-tests $(BUILD) $(FUZZ_BUILD) all

test-main: build
	@scripts/run-tests $(BUILD) $(FUZZ_BUILD) main

test-fuzz: deps
	@scripts/run-tests $(BUILD) $(FUZZ_BUILD) fuzz

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
