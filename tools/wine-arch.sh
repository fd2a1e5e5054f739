#!/usr/bin/env bash
# Prints the Wine the Windows-side layers run under on this machine: win32 (the 386
# keelbrook.exe we ship, under 32-bit Wine) or win64 (the x86-64 build of the same sources, under
# 64-bit Wine). Some x86-64 kernels run 64-bit user code only (built or booted without IA-32
# emulation, or in a virtual machine that offers none), and there every 32-bit program, the
# 32-bit Wine loader among them, fails with "Exec format error".
#
# The machine is asked, not guessed from the kernel: a 32-bit Linux program of 93 bytes is run,
# which needs nothing installed. KB_WINE_ARCH=win32 or win64 in the environment is the answer
# instead, so that either path can be run on any machine.
#
#   tools/wine-arch.sh          win32 or win64
#   tools/wine-arch.sh --line   the sentence the build prints about it
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

ask() {
  case "${KB_WINE_ARCH:-}" in
    win32|win64) echo "$KB_WINE_ARCH"; return ;;
    "") ;;
    *) echo "wine-arch: KB_WINE_ARCH must be win32 or win64, not '$KB_WINE_ARCH'" >&2; exit 2 ;;
  esac
  # An i386 ELF program whose only instructions are exit(0): mov eax, 1; xor ebx, ebx; int 0x80.
  # In the build folder, since /tmp may be mounted without exec.
  mkdir -p "$root/build"
  local probe
  probe=$(mktemp "$root/build/.wine-arch.XXXXXX")
  printf '\177\105\114\106\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0\270\1\0\0\0\61\333\315\200' >"$probe"
  chmod +x "$probe"
  if "$probe" 2>/dev/null; then echo win32; else echo win64; fi
  rm -f "$probe"
}

arch=$(ask) || exit $?
if [ "${1:-}" = --line ]; then
  if [ "$arch" = win32 ]; then
    echo "Windows-side layers: keelbrook.exe (386) under 32-bit Wine"
  else
    why="this machine runs no 32-bit code"
    [ -n "${KB_WINE_ARCH:-}" ] && why="KB_WINE_ARCH=win64"
    echo "Windows-side layers: the x86-64 build of the same sources under 64-bit Wine: $why"
  fi
else
  echo "$arch"
fi
