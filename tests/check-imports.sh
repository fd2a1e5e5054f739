#!/usr/bin/env bash
# keelbrook.exe must start on every system it is for. Wine exports every function whatever
# Windows it poses as, so only the import table shows what a real Windows 95 or NT 4.0 loader
# will be asked for: every imported function must be in the audited list (the file given as the
# second argument), exported by Windows 95 and by NT 4.0, from a system DLL, and a Unicode
# function that Windows 9x only has as a failing stub must say why that failure is harmless.
set -euo pipefail
exe=$1
audit=$2
[ -f "$exe" ] || { echo "no program at $exe"; exit 1; }
[ -f "$audit" ] || { echo "no audited import list at $audit"; exit 1; }

# "dll function" for every imported name; an import by ordinal shows as "dll #n".
imports=$(i686-w64-mingw32-objdump -p "$exe" | awk -F'\t' '
  /DLL Name:/ { d = $0; sub(/.*DLL Name: /, "", d); d = tolower(d); next }
  /^\t[0-9a-f]+\t/ && d != "" {
    n = split($3, f, " ")
    if (n >= 2) print d, f[2]; else if (n == 1) print d, "#" f[1]
  }
  /^$/ { }')
[ -n "$imports" ] || { echo "no import table found in $exe"; exit 1; }

echo "$imports" | awk -v audit="$audit" '
  BEGIN {
    FS = " \\| "
    while ((getline line < audit) > 0) {
      if (line ~ /^[ \t]*(#|$)/) continue
      n = split(line, f, / \| /)
      if (n < 6) { printf "BAD LINE in the audited list: %s\n", line; bad = 1; continue }
      key = tolower(f[1]) " " f[2]
      win9x[key] = f[3]; nt[key] = f[4]; stub[key] = f[5]; source[key] = f[6]
    }
    FS = " "
  }
  {
    key = $1 " " $2; count++
    if ($1 !~ /^(kernel32|user32|gdi32|advapi32|shell32|comctl32|comdlg32|crtdll)\.dll$/) {
      printf "NOT A SYSTEM DLL   %s\n", key; bad = 1; next
    }
    if (!(key in win9x)) { printf "NOT AUDITED        %s\n", key; bad = 1; next }
    if (win9x[key] != "95") { printf "NOT ON WINDOWS 95  %s (Windows 9x: %s)\n", key, win9x[key]; bad = 1 }
    if (nt[key] !~ /^(3\.1|3\.5|3\.51|4\.0)$/) { printf "NOT ON NT 4.0      %s (NT: %s)\n", key, nt[key]; bad = 1 }
    if (stub[key] != "-" && (stub[key] !~ /^stub: ./ || stub[key] ~ /REASON NEEDED/)) {
      printf "9x STUB, NO REASON %s\n", key; bad = 1
    }
    if (source[key] !~ /[^ ]/) { printf "NO SOURCE          %s\n", key; bad = 1 }
    if (stub[key] != "-") stubs++
  }
  END {
    printf "%d imported functions checked against %s: %s (%d Windows 9x stubs with a reason)\n",
      count, audit, bad ? "FAILED" : "all on Windows 95 and NT 4.0", stubs
    exit bad
  }'
