#!/usr/bin/env bash
# The Windows-side layers run under one of two Wines: 32-bit where the machine runs 32-bit code,
# 64-bit where it does not. A machine runs only its own path, so a fault in the other one stays
# unseen until someone has the other kind of machine (a bare `wine` inside the shell function
# `wine` called itself until bash overflowed its stack, and only the 32-bit path had it). This
# reads both paths on any machine, without starting a Windows program:
#
# - tools/wine-env.sh, posed as each path: its loader is named by a file that is there, and
#   `wine --version` answers through the script's own functions (with a small FUNCNEST, so that
#   a function that calls itself fails here at once instead of overflowing the stack);
# - each toolchain file, whose emulator is the loader ctest runs the tests with: named by a file
#   that is there.
#
#   check-wine-loaders.sh
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0

# A loader must be an absolute path to a program that is there.
named_by_file() {  # what, loader
  case $2 in
    /*) [ -f "$2" ] && [ -x "$2" ] && return 0; echo "$1: no program at $2" ;;
    *) echo "$1: the loader is named \"$2\", not by its file" ;;
  esac
  status=1
  return 1
}

for arch in win32 win64; do
  loader=$(KB_WINE_ARCH=$arch bash -c 'source "$1/tools/wine-env.sh" && echo "$KB_WINE_LOADER"' _ "$root") ||
    { echo "tools/wine-env.sh as $arch: it could not be read"; status=1; continue; }
  named_by_file "tools/wine-env.sh as $arch" "$loader" || continue
  if answer=$(KB_WINE_ARCH=$arch FUNCNEST=8 bash -c 'source "$1/tools/wine-env.sh" && wine --version' _ "$root" 2>&1); then
    echo "tools/wine-env.sh as $arch: $loader answers $(tr -d '\r' <<<"$answer")"
  else
    echo "tools/wine-env.sh as $arch: wine --version failed: $answer"
    status=1
  fi
done

for toolchain in "$root"/cmake/mingw-i686.cmake "$root"/cmake/mingw-x86_64.cmake; do
  printf 'include("%s")\nmessage("${CMAKE_CROSSCOMPILING_EMULATOR}")\n' "$toolchain" >"$tmp/emulator.cmake"
  emulator=$(cmake -P "$tmp/emulator.cmake" 2>&1) || { echo "$toolchain: $emulator"; status=1; continue; }
  named_by_file "$(basename "$toolchain")" "$emulator" && echo "$(basename "$toolchain"): ctest runs its tests with $emulator"
done
exit $status
