# Two commands: `make run` and `make test`. Everything else lives in CMake (CMakePresets.json).
SHELL := /bin/bash
.PHONY: run test deps host win32 bench fuzz screenshots dist clean

deps:
	@tools/install-deps.sh

host: deps
	@cmake --preset host >/dev/null
	@cmake --build --preset host

win32: deps
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
bench: deps
	@cmake --preset host >/dev/null && cmake --build --preset host --target keelbrook_bench_host
	@cmake --preset win32 >/dev/null && cmake --build --preset win32 --target bench_programs
	@tools/bench.sh

clean:
	rm -rf build
