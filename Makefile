# Thin wrapper around CMake. `make run` summarizes the bundled sample,
# `make test` builds and runs every test.
BUILD_DIR ?= build
PREFIX ?= /usr/local
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
SAMPLE ?= examples/sample.txt
RATE ?= 0.7

.PHONY: all build configure run test install clean bench test-asan fuzz deb

all: build

configure:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The sample is copied into the build tree so the extract lands there.
run: build
	@mkdir -p $(BUILD_DIR)/run
	@cp $(SAMPLE) $(BUILD_DIR)/run/
	@cd $(BUILD_DIR)/run && ../Brennic.exe $(notdir $(SAMPLE)) $(RATE)
	@cat $(BUILD_DIR)/run/$(basename $(notdir $(SAMPLE))).sum

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# Benchmarks (never part of `make test`).
bench:
	bash bench/run

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan:
	bash scripts/test-asan

# Every fuzz target for FUZZ_SECONDS seconds (60 by default).
fuzz:
	bash fuzz/run

# A Debian package with both executables and their manual pages.
deb:
	bash scripts/make-deb

clean:
	rm -rf $(BUILD_DIR)
