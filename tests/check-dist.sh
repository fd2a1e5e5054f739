#!/usr/bin/env bash
# The release zip as a Windows user gets it: built twice, the same bytes; unpacked, the program
# in a folder named after it and its version with README.TXT and LICENSE.TXT, FILE_ID.DIZ at the
# root; the text files in CR LF, README.TXT in lines of at most 76 characters, FILE_ID.DIZ within
# the 10 lines of 45 characters that archive readers show, both plain ASCII naming the version.
# Arguments: the win32 build folder.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; status=1; }
status=0

for run in 1 2; do
  KB_WIN32_DIR="$build" KB_DIST_DIR="$work/out$run" "$root/tools/dist.sh" >/dev/null || { echo "FAILED: tools/dist.sh"; exit 1; }
done
version=$(sed -n 's/^#define KB_VERSION_TEXT "\(.*\)"/\1/p' "$root/src/app/win32/version.h")
zip="keelbrook-$version-win32.zip"
cmp -s "$work/out1/$zip" "$work/out2/$zip" || fail "two builds of $zip differ"

unzip -q "$work/out1/$zip" -d "$work/unpacked" || { echo "FAILED: $zip does not unpack"; exit 1; }
expected="FILE_ID.DIZ keelbrook-$version/LICENSE.TXT keelbrook-$version/README.TXT keelbrook-$version/keelbrook.exe"
got=$(cd "$work/unpacked" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')
[ "$got" = "$expected" ] || fail "the zip holds: $got; expected: $expected"
cmp -s "$work/unpacked/keelbrook-$version/keelbrook.exe" "$build/keelbrook.exe" || fail "keelbrook.exe is not the one built"

# lines, longest line, lines without CR LF, bytes outside printable ASCII
measure() { LC_ALL=C awk '{ n++; sub(/\r$/, "", $0) || bad++; if (length > w) w = length; if ($0 ~ /[^ -~]/) odd++ }
                          END { print n + 0, w + 0, bad + 0, odd + 0 }' "$1"; }
for f in FILE_ID.DIZ "keelbrook-$version/README.TXT" "keelbrook-$version/LICENSE.TXT"; do
  read -r lines width bare odd < <(measure "$work/unpacked/$f")
  [ "$bare" -eq 0 ] || fail "$f: $bare lines do not end in CR LF"
  LC_ALL=C grep -q $'\r\r' "$work/unpacked/$f" && fail "$f: doubled CR"
  case "$f" in
    *README.TXT) [ "$width" -le 76 ] || fail "$f: a line of $width characters (76 at most)"
                 [ "$odd" -eq 0 ] || fail "$f: $odd lines with characters outside plain ASCII" ;;
    FILE_ID.DIZ) [ "$lines" -le 10 ] && [ "$width" -le 45 ] || fail "$f: $lines lines, the longest $width (10 and 45 at most)"
                 [ "$odd" -eq 0 ] || fail "$f: $odd lines with characters outside plain ASCII" ;;
  esac
  case "$f" in *README.TXT|FILE_ID.DIZ) grep -q "$version" "$work/unpacked/$f" || fail "$f does not name version $version" ;; esac
done
[ "$status" -eq 0 ] && echo "$zip: the same bytes twice, the files in place, the text files within their limits"
exit "$status"
