# Front door of the build. See README.md.
JOBS ?= $(shell nproc)

.PHONY: all native win64 win32 cli test test-release dist demo bench fuzz setup clean

all: native win64 win32 cli

setup:
	@scripts/setup

native:
	@cmake --preset native >/dev/null
	@cmake --build build/native -j $(JOBS)

win64:
	@cmake --preset win64 >/dev/null
	@cmake --build build/win64 -j $(JOBS)

win32:
	@cmake --preset win32 >/dev/null
	@cmake --build build/win32 -j $(JOBS)

# The command-line converter, optimised and without sanitizers: build/release/zembra2orvel.
cli:
	@cmake --preset release >/dev/null
	@cmake --build build/release -j $(JOBS) --target zembra2orvel

test: setup
	@$(MAKE) --no-print-directory all
	@scripts/run-tests

# The 32-bit release build itself, under emulation (installs and registers it when missing).
test-release: setup
	@$(MAKE) --no-print-directory all
	@scripts/test-release

# What a user downloads: build/dist/ZembraImport-<version>-win32.zip.
dist: setup
	@$(MAKE) --no-print-directory win32
	@scripts/make_dist.py .

demo: setup
	@$(MAKE) --no-print-directory native win64 dist
	@scripts/demo

bench: setup
	@cmake --preset bench >/dev/null
	@cmake --build build/bench -j $(JOBS)
	@build/bench/bench/bench_conversion build/bench/work

fuzz: setup
	@cmake --preset fuzz >/dev/null
	@cmake --build build/fuzz -j $(JOBS)
	@scripts/fuzz $(or $(FUZZ_SECONDS),60) $(FUZZ_TARGETS)

clean:
	rm -rf build
