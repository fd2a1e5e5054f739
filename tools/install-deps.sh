#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, and only what is missing.
# Safe to run again and again: with everything present it changes nothing and returns at once.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

pkgs=(g++-mingw-w64-i686 mingw-w64-i686-dev wine wine32:i386 wine64 fonts-wine xvfb
      googletest imagemagick xdotool x11-utils cmake make g++ clang zip libclang-rt-14-dev valgrind
      libbenchmark-dev)
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done
[ ${#need[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${need[*]}); run as root to install them" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
