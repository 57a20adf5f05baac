# SPDX-License-Identifier: MIT
# Thin wrapper around CMake. `make run` summarizes the bundled sample,
# `make test` builds and runs every test. Each target first installs the
# Debian packages it needs (scripts/install-deps; as a user other than root
# it prints the apt-get line to run instead).
BUILD_DIR ?= build
PREFIX ?= /usr/local
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
SAMPLE ?= examples/sample.txt
RATE ?= 0.7

# A build tree configured by `make run` alone has neither the test suite nor
# the Python module; `make test` and `make install` switch on what they need.
CONFIGURE = cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release
FIRST_CONFIGURE = $(if $(wildcard $(BUILD_DIR)/CMakeCache.txt),,-DBRENNIC_TESTS=OFF)

MAKEFLAGS += --no-print-directory

.PHONY: all build run test test-package install clean bench test-asan test-tsan fuzz deb

all: build

build:
	@bash scripts/install-deps test
	$(CONFIGURE) -DBRENNIC_TESTS=ON -DBRENNIC_PYTHON=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Builds the programs only and summarizes the sample with brennic, then with
# Brennic.exe. The sample is copied into the build tree so that Brennic.exe's
# extract lands there.
run:
	@bash scripts/install-deps run
	$(CONFIGURE) $(FIRST_CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target command_cli brennic_cli talven_cli
	@echo '$$ $(BUILD_DIR)/brennic --keep 30% $(SAMPLE)'
	@$(BUILD_DIR)/brennic --keep 30% $(SAMPLE)
	@echo '$$ cd $(BUILD_DIR)/run && ../Brennic.exe $(notdir $(SAMPLE)) $(RATE)'
	@mkdir -p $(BUILD_DIR)/run
	@cp $(SAMPLE) $(BUILD_DIR)/run/
	@cd $(BUILD_DIR)/run && ../Brennic.exe $(notdir $(SAMPLE)) $(RATE)
	@cat $(BUILD_DIR)/run/$(basename $(notdir $(SAMPLE))).sum

# Every test but the packaging test, which builds the Debian packages.
test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS) --label-exclude package
	@echo 'Python: PYTHONPATH=$(BUILD_DIR)/python python3 -c "import brennic"'

# The packaging test: builds the Debian packages, runs lintian, unpacks them
# into a scratch root and uses the programs, the module and the library.
test-package: build
	@bash scripts/install-deps ci
	ctest --test-dir $(BUILD_DIR) --output-on-failure --label-regex package

# The prefix is configured, not only given to the install step: the programs'
# RUNPATH ($$ORIGIN/../lib, none for /usr) and the library folder depend on it.
install:
	@bash scripts/install-deps python
	$(CONFIGURE) $(FIRST_CONFIGURE) -DBRENNIC_PYTHON=ON -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cmake --install $(BUILD_DIR)

# Benchmarks (never part of `make test`).
bench:
	bash bench/run

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan:
	@bash scripts/install-deps test
	bash scripts/test-asan

# The API and batch tests under ThreadSanitizer (build-tsan).
test-tsan:
	@bash scripts/install-deps test
	bash scripts/test-tsan

# Every fuzz target for FUZZ_SECONDS seconds (60 by default).
fuzz:
	bash fuzz/run

# The Debian packages of debian/ (brennic, libbrennic1, libbrennic-dev,
# python3-brennic), in build-deb/.
deb:
	@bash scripts/install-deps ci
	bash scripts/make-deb

clean:
	rm -rf $(BUILD_DIR)
