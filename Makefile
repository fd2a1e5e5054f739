# Two commands: `make run` and `make test`. Everything else lives in CMake (CMakePresets.json).
SHELL := /bin/bash
.PHONY: run test deps runtime host win32 bench fuzz screenshots dist clean

deps:
	@tools/install-deps.sh

# keelbrook.exe's compiler and runtime, built for the i486 from Debian's sources once per machine
# into a cache outside the checkout (tools/build-runtime.sh; the first time takes about 20 minutes).
runtime: deps
	@tools/build-runtime.sh

host: deps
	@cmake --preset host >/dev/null
	@cmake --build --preset host

win32: runtime
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32

run: win32
	@tools/run.sh

test: host win32
	@tools/run-tests.sh

dist: win32
	@tools/dist.sh

screenshots: win32
	@tools/screenshots.sh

fuzz: deps
	@tools/fuzz.sh

# Benchmarks beside their peers (README "Benchmarks"); builds only what they need.
bench: runtime
	@cmake --preset host >/dev/null && cmake --build --preset host --target keelbrook_bench_host
	@cmake --preset win32 >/dev/null && cmake --build --preset win32 --target bench_programs
	@tools/bench.sh

clean:
	rm -rf build
