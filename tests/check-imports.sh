#!/usr/bin/env bash
# keelbrook.exe must be a single file to run on Windows: statically linked, importing nothing
# but the system's own DLLs.
set -euo pipefail
exe=$1
allowed='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|comdlg32|msvcrt)\.dll$'
dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || { echo "no import table found in $exe"; exit 1; }
bad=0
for d in $dlls; do
  if [[ $d =~ $allowed ]]; then echo "ok      $d"; else echo "FORBIDDEN $d"; bad=1; fi
done
exit $bad
