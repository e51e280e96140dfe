# SPDX-License-Identifier: GPL-3.0-or-later
# Kestra: the two everyday commands are `make run` and `make test`.
BUILD       ?= build
FUZZ_BUILD  ?= build-fuzz
BUILD_TYPE  ?= RelWithDebInfo
# Warnings become errors with KESTRA_WERROR=ON (CI does that); unset, a tree keeps its setting.
KESTRA_WERROR ?=
# Hardened binaries, as Debian builds them: the flags dpkg-buildflags gives with hardening=+all
# (fortify, stack protector, format checks, relro, bindnow), without its -g and -O2, which
# BUILD_TYPE decides. HARDENING=OFF builds without them; a Debug build leaves out fortify, which
# needs optimisation. CPPFLAGS, CXXFLAGS and LDFLAGS from the environment come first.
HARDENING   ?= ON
comma := ,
hardening_options := hardening=+all$(if $(filter Debug,$(BUILD_TYPE)),$(comma)-fortify) \
                     reproducible=-all
buildflag = $(if $(filter ON,$(HARDENING)),$(filter-out -g -O%,$(shell \
              DEB_BUILD_MAINT_OPTIONS='$(hardening_options)' dpkg-buildflags --get $(1) 2>/dev/null)))
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
               $(if $(KESTRA_WERROR),-DKESTRA_WERROR=$(KESTRA_WERROR)) \
               -DCMAKE_CXX_FLAGS="$(strip $(CPPFLAGS) $(CXXFLAGS) $(call buildflag,CPPFLAGS) \
                                  $(call buildflag,CXXFLAGS))" \
               -DCMAKE_EXE_LINKER_FLAGS="$(strip $(LDFLAGS) $(call buildflag,LDFLAGS))"

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

# `make install` puts the programs, the desktop file, the metainfo, the icons and the man pages
# under PREFIX (DESTDIR honoured), with the install rules of cmake/KestraInstall.cmake.
# `make package` builds the Debian package with debian/ (dpkg-buildpackage, which uses the same
# install rules) in a temporary copy of the sources and leaves the .deb in $(BUILD)/packages;
# `make test-package` builds it the same way and checks it with lintian.
PREFIX ?= /usr/local
.PHONY: install package test-package

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: deps
	@scripts/build-package $(BUILD)/packages $(BUILD)/package-work

test-package: build
	@scripts/run-tests $(BUILD) $(FUZZ_BUILD) package
