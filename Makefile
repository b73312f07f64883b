# Front door of the build. See README.md.
JOBS ?= $(shell nproc)
MAKEFLAGS += --no-print-directory

.PHONY: all native win64 win32 cli test test-release dist demo bench fuzz setup clean

all: native win64 win32 cli

# Every target that builds installs what is missing first (scripts/setup, quick when nothing is).
setup:
	@scripts/setup

native: setup
	@cmake --preset native >/dev/null
	@cmake --build build/native -j $(JOBS)

win64: setup
	@cmake --preset win64 >/dev/null
	@cmake --build build/win64 -j $(JOBS)

win32: setup
	@cmake --preset win32 >/dev/null
	@cmake --build build/win32 -j $(JOBS)

# The command-line converter, optimised and without sanitizers: build/release/zembra2orvel.
cli: setup
	@cmake --preset release >/dev/null
	@cmake --build build/release -j $(JOBS) --target zembra2orvel

test: all
	@scripts/run-tests

# The 32-bit release build itself: natively where the kernel runs 32-bit programs, else under
# qemu-i386 (scripts/setup-emulation sets up whichever the machine needs).
test-release: all
	@scripts/test-release

# What a user downloads: build/dist/ZembraImport-<version>-win32.zip.
dist: win32
	@scripts/make_dist.py .

demo: native win64 dist
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
