#!/usr/bin/env bash
# The release zip, keelbrook-VERSION-win32.zip: keelbrook.exe with README.TXT and LICENSE.TXT in
# one folder named after the program and its version, and FILE_ID.DIZ at the root, where the
# archive readers of download sites and bulletin boards look for it; the same bytes from the same
# sources, and its checksum (printed, and written beside it as a .sha256 file).
#
# What would otherwise differ from one build to the next, and what pins it:
# - the exe's PE time stamp: linked with --no-insert-timestamp (cmake/win32.cmake);
# - file times in the zip: the time of the last commit, in UTC;
# - file modes in the zip: set here, not left to the caller's umask;
# - owner, group and extra time fields: left out (zip -X), no directory entries (-D);
# - the order of the entries: named one by one.
#
# KB_WIN32_DIR names another win32 build (default build/win32), KB_DIST_DIR another output
# folder (default build/dist).
set -euo pipefail
export TZ=UTC LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KB_WIN32_DIR:-$root/build/win32}
out=${KB_DIST_DIR:-$root/build/dist}
version=$(sed -n 's/^#define KB_VERSION_TEXT "\(.*\)"/\1/p' "$root/src/app/win32/version.h")
[ -n "$version" ] || { echo "dist: no KB_VERSION_TEXT in src/app/win32/version.h" >&2; exit 1; }
[ -f "$build/keelbrook.exe" ] || { echo "dist: $build/keelbrook.exe is missing; build the win32 preset first" >&2; exit 1; }

name="keelbrook-$version"
stage="$out/$name"
rm -rf "$stage"
mkdir -p "$stage"
cp "$build/keelbrook.exe" "$stage/keelbrook.exe"
# Text files for Windows readers (Notepad on Windows 95 shows nothing else well): CR LF line ends,
# none doubled. README.TXT is written for the people who run the program (dist/README.TXT), not
# the developers' README.md.
crlf() { sed 's/\r$//; s/$/\r/' "$1" >"$2"; }
crlf "$root/dist/README.TXT" "$stage/README.TXT"
crlf "$root/LICENSE" "$stage/LICENSE.TXT"
crlf "$root/dist/FILE_ID.DIZ" "$out/FILE_ID.DIZ"
chmod 0755 "$stage/keelbrook.exe"
chmod 0644 "$stage/README.TXT" "$stage/LICENSE.TXT" "$out/FILE_ID.DIZ"

stamp=$(git -C "$root" log -1 --format=%cd --date=format-local:%Y%m%d%H%M.%S 2>/dev/null || true)
touch -t "${stamp:-200301010000.00}" "$stage/keelbrook.exe" "$stage/README.TXT" "$stage/LICENSE.TXT" "$out/FILE_ID.DIZ"

zip="$out/$name-win32.zip"
rm -f "$zip" "$zip.sha256"
(cd "$out" && zip -q -X -D -9 "$zip" FILE_ID.DIZ "$name/keelbrook.exe" "$name/README.TXT" "$name/LICENSE.TXT")
rm -rf "$stage" "$out/FILE_ID.DIZ"
(cd "$out" && sha256sum "$(basename "$zip")" >"$zip.sha256")
echo "$zip"
cut -d' ' -f1 "$zip.sha256"
