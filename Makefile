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

.PHONY: all build run test install clean bench test-asan test-tsan fuzz deb

all: build

build:
	@bash scripts/install-deps test
	$(CONFIGURE) -DBRENNIC_TESTS=ON -DBRENNIC_PYTHON=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Builds the two programs only. The sample is copied into the build tree so
# the extract lands there.
run:
	@bash scripts/install-deps run
	$(CONFIGURE) $(FIRST_CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target brennic_cli talven_cli
	@mkdir -p $(BUILD_DIR)/run
	@cp $(SAMPLE) $(BUILD_DIR)/run/
	@cd $(BUILD_DIR)/run && ../Brennic.exe $(notdir $(SAMPLE)) $(RATE)
	@cat $(BUILD_DIR)/run/$(basename $(notdir $(SAMPLE))).sum

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

install:
	@bash scripts/install-deps python
	$(CONFIGURE) $(FIRST_CONFIGURE) -DBRENNIC_PYTHON=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

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

# A Debian package with both executables and their manual pages.
deb:
	bash scripts/make-deb

clean:
	rm -rf $(BUILD_DIR)
