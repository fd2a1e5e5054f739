# Two commands: `make run` and `make test`. Everything else lives in CMake (CMakePresets.json).
# Each stage prints one line and keeps the tools' own output in build/logs/, shown in full when
# the stage fails (tools/stage.sh).
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
.PHONY: run test deps runtime host win32 bench fuzz soak screenshots dist clean

stage := tools/stage.sh
logs := build/logs

# Asked once per make: does this machine run 32-bit code (tools/wine-arch.sh)? The Windows-side
# layers run the 386 keelbrook.exe under 32-bit Wine where it does, and the x86-64 build of the
# same sources under 64-bit Wine where it does not. KB_WINE_ARCH=win32 or win64 decides instead.
kb_wine_given := $(KB_WINE_ARCH)
override KB_WINE_ARCH := $(shell KB_WINE_ARCH='$(KB_WINE_ARCH)' tools/wine-arch.sh)
$(if $(KB_WINE_ARCH),,$(error KB_WINE_ARCH must be win32 or win64))
export KB_WINE_ARCH
ifeq ($(KB_WINE_ARCH),win32)
kb_wine_line := keelbrook.exe (386) under 32-bit Wine
kb_win32_role := the Windows-side tests
else
kb_win32_role := the checks that read it
# The benchmark's size figure reads the shipped program, which the win64 build does not make.
kb_bench_shipped := cmake --preset win32 -DKB_WINE_ARCH=win64 && cmake --build --preset win32 --target keelbrook &&
kb_wine_line := the x86-64 build of the same sources under 64-bit Wine: $(if $(kb_wine_given),KB_WINE_ARCH=win64,this machine runs no 32-bit code)
endif

deps:
	@tools/install-deps.sh
	@echo "Windows-side layers: $(kb_wine_line)"

# keelbrook.exe's runtime, built for the 386 and crtdll.dll from Debian's sources once per machine
# into a cache outside the checkout (tools/build-runtime.sh; the first time takes about 10 minutes).
runtime: deps
	@tools/build-runtime.sh

host: deps
	@$(stage) "host: the portable core and its tests (g++, ASan, UBSan)" $(logs)/host.log \
	  bash -c 'cmake --preset host && cmake --build --preset host'

win32: runtime
	@$(stage) "win32: keelbrook.exe for the 386, and $(kb_win32_role)" $(logs)/win32.log \
	  bash -c 'cmake --preset win32 -DKB_WINE_ARCH=$(KB_WINE_ARCH) && cmake --build --preset win32'
	@echo "  build/win32/keelbrook.exe, $$(stat -c %s build/win32/keelbrook.exe) bytes"
ifeq ($(KB_WINE_ARCH),win64)
	@$(stage) "win64: the x86-64 build of the same sources, and the Windows-side tests" $(logs)/win64.log \
	  bash -c 'cmake --preset win64 -DKB_WINE_ARCH=win64 && cmake --build --preset win64'
	@echo "  build/win64/keelbrook.exe, $$(stat -c %s build/win64/keelbrook.exe) bytes"
endif

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
	@$(stage) "bench: the host benchmark, keelbrook.exe and the Wine driver" $(logs)/bench-build.log \
	  bash -c 'cmake --preset host && cmake --build --preset host --target keelbrook_bench_host && \
	           $(kb_bench_shipped) cmake --preset $(KB_WINE_ARCH) -DKB_WINE_ARCH=$(KB_WINE_ARCH) && \
	           cmake --build --preset $(KB_WINE_ARCH) --target bench_programs'
	@tools/bench.sh

clean:
	rm -rf build
