# Two commands: `make run` and `make test`. Everything else lives in CMake (CMakePresets.json).
# Each stage prints one line and keeps the tools' own output in build/logs/, shown in full when
# the stage fails (tools/stage.sh).
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
.PHONY: run test deps runtime host win32 bench fuzz soak screenshots dist clean

stage := tools/stage.sh
logs := build/logs

deps:
	@tools/install-deps.sh

# keelbrook.exe's compiler and runtime, built for the i486 from Debian's sources once per machine
# into a cache outside the checkout (tools/build-runtime.sh; the first time takes about 20 minutes).
runtime: deps
	@tools/build-runtime.sh

host: deps
	@$(stage) "host: the portable core and its tests (g++, ASan, UBSan)" $(logs)/host.log \
	  bash -c 'cmake --preset host && cmake --build --preset host'

win32: runtime
	@$(stage) "win32: keelbrook.exe for the i486, and the Windows-side tests" $(logs)/win32.log \
	  bash -c 'cmake --preset win32 && cmake --build --preset win32'
	@echo "  build/win32/keelbrook.exe, $$(stat -c %s build/win32/keelbrook.exe) bytes"

run: win32
	@tools/run.sh

test: host win32
	@tools/run-tests.sh

dist: win32
	@tools/dist.sh

# The long monkey run (tools/soak.sh): KB_SOAK_SEED, KB_SOAK_ACTIONS.
soak: win32
	@tools/soak.sh

screenshots: win32
	@tools/screenshots.sh

fuzz: deps
	@tools/fuzz.sh

# Benchmarks beside their peers (README "Benchmarks"); builds only what they need.
bench: runtime
	@$(stage) "bench: the host benchmark and the Wine driver" $(logs)/bench-build.log \
	  bash -c 'cmake --preset host && cmake --build --preset host --target keelbrook_bench_host && \
	           cmake --preset win32 && cmake --build --preset win32 --target bench_programs'
	@tools/bench.sh

clean:
	rm -rf build
