#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, and only what is missing.
# Safe to run again and again: with everything present it changes nothing and returns at once.
#
# Besides the tools, keelbrook.exe needs its runtime built from Debian's own sources for the 386
# (tools/build-runtime.sh): the GCC sources come as the gcc-12-source package, the MinGW-w64
# sources through `apt-get source`, which needs a deb-src entry for the machine's own suite.
# Other programs may be running apt at the same time, so every apt call waits for the lock.
#
# Wine runs the Windows-side tests as 32-bit Wine where this machine runs 32-bit code, and as
# 64-bit Wine where it does not (tools/wine-arch.sh): the first needs Wine's 32-bit part (an i386
# package), the second Debian's x86-64 MinGW-w64 compilers, which build the same sources for it.
# Those compilers are installed on both kinds: where 32-bit code runs, .ci/run takes the x86-64
# path too.
set -euo pipefail
wine_arch=$("$(dirname "$0")/wine-arch.sh")

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

pkgs=(g++-mingw-w64-i686 mingw-w64-i686-dev wine wine64 fonts-wine xvfb
      googletest imagemagick xdotool x11-utils cmake make g++ clang zip unzip libclang-rt-14-dev valgrind
      libbenchmark-dev ccache locales
      gcc-12-source libgmp-dev libmpfr-dev libmpc-dev dpkg-dev xz-utils bzip2 util-linux
      g++-mingw-w64-x86-64-win32 g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev)
if [ "$wine_arch" = win32 ]; then pkgs+=(wine32:i386); fi
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done

# The MinGW-w64 sources of the installed version must be fetchable.
have_src() { apt-cache showsrc mingw-w64 2>/dev/null | grep -q '^Package: mingw-w64$'; }
src_ok=1
have_src || src_ok=0
[ ${#need[@]} -eq 0 ] && [ $src_ok -eq 1 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  [ ${#need[@]} -eq 0 ] || echo "install-deps: missing packages (${need[*]})" >&2
  [ $src_ok -eq 1 ] || echo "install-deps: no deb-src entry for the MinGW-w64 sources" >&2
  echo "install-deps: run as root to install them" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt_opts=(-o DPkg::Lock::Timeout=600 -q)
# apt-get update takes the lists lock, which the timeout above does not cover everywhere: try
# again for a while when another apt holds it. A mirror caught in the middle of a sync fails one
# index ("File has unexpected size"); the others are fresh, so after a few tries that is only a
# warning, and a package that truly cannot be found fails the install below with apt's message.
apt_update() {
  local i out
  for i in $(seq 1 60); do
    out=$(apt-get "${apt_opts[@]}" update -qq 2>&1) && return 0
    if ! grep -qi 'lock' <<<"$out" && [ "$i" -ge 3 ]; then
      echo "install-deps: apt-get update did not fetch every index; going on with what it has:" >&2
      grep '^[EW]:' <<<"$out" | head -3 >&2
      return 0
    fi
    sleep 10
  done
  apt-get "${apt_opts[@]}" update -qq
}

updated=
if [ "$wine_arch" = win32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

if [ $src_ok -eq 0 ]; then
  # A deb-src twin of each deb entry that serves this machine's Debian suite, so that
  # `apt-get source` fetches the sources of exactly what is installed.
  . /etc/os-release
  suite=${VERSION_CODENAME:?no VERSION_CODENAME in /etc/os-release}
  out=/etc/apt/sources.list.d/keelbrook-deb-src.sources
  {
    echo "# Added by keelbrook's tools/install-deps.sh: sources of the packages the build rebuilds."
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && [ "$f" != "$out" ] || continue
      # deb822 stanzas: keep those of type deb for this suite, as deb-src.
      awk -v suite="$suite" '
        function flush() {
          if (types ~ /(^| )deb( |$)/ && suites ~ ("(^| )" suite "( |$)")) {
            print "Types: deb-src"; printf "%s", body; print ""
          }
          types = ""; suites = ""; body = ""
        }
        /^[ \t]*$/ { flush(); next }
        /^#/ { next }
        /^Types:/ { types = $0; sub(/^Types:[ \t]*/, "", types); next }
        { if ($0 ~ /^Suites:/) { suites = $0; sub(/^Suites:[ \t]*/, "", suites) }
          body = body $0 "\n" }
        END { flush() }' "$f"
    done
  } >"$out.new"
  # One-line entries (sources.list style) for the same suite.
  lines=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    awk -v suite="$suite" '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i == suite || $i ~ ("^" suite "-")) { sub(/^deb/, "deb-src"); print; break } }') || true
  if [ -n "$lines" ]; then
    echo "$lines" >/etc/apt/sources.list.d/keelbrook-deb-src.list
  fi
  if grep -q '^Types: deb-src' "$out.new"; then mv "$out.new" "$out"; else rm -f "$out.new"; fi
  apt_update
  updated=1
  have_src || { echo "install-deps: still no source for mingw-w64 after adding deb-src entries" >&2; exit 1; }
fi

if [ ${#need[@]} -gt 0 ]; then
  [ -n "$updated" ] || apt_update
  # With one architecture's security index missing (the mirror sync above), the two halves of a
  # Multi-Arch package (zlib1g and zlib1g:i386) have different candidates and apt finds no
  # solution; the suite's own release has both at one version.
  apt-get "${apt_opts[@]}" install -y -qq --no-install-recommends "${need[@]}" >/dev/null ||
    { . /etc/os-release
      echo "install-deps: trying again with the packages of $VERSION_CODENAME itself" >&2
      apt-get "${apt_opts[@]}" install -y -qq --no-install-recommends -t "$VERSION_CODENAME" "${need[@]}" >/dev/null; }
fi
