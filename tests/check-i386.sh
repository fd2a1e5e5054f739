#!/usr/bin/env bash
# keelbrook.exe must run on every processor its systems ran on: Windows 95 on a 386DX or later,
# 98 and NT 4.0 on a 486, and the Pentium, K5, K6, Cyrix, WinChip and VIA C3 machines most of
# them had. Wine runs whatever the build machine's processor runs, so no test under it can see an
# instruction those processors lack; only the code can. This fails on any instruction newer than
# the 386 in the program's code.
#
#   check-i386.sh SHIPPED.exe SYMBOLS.exe SYMBOLS.map [more triples...]
#
# SYMBOLS.exe is the same link as SHIPPED.exe with its symbols kept, SYMBOLS.map the linker's map
# of it. Exact rather than a sweep over the section: the linker puts data into .text (the
# constructor lists; the exception tables too, unless cmake/except-table.ld moves them), and
# decoded as code that data shows "instructions" that are none. So only the input sections the map shows as code are read, and
# the disassembler starts afresh at every function; each finding names its function and the
# object (or archive member) it came from.
set -euo pipefail
objdump=i686-w64-mingw32-objdump
objcopy=i686-w64-mingw32-objcopy
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0

# Instructions of later processors, as objdump spells them: the 486's XADD, CMPXCHG, BSWAP,
# INVD, WBINVD and INVLPG; the P6's CMOVcc, FCMOVcc, FCOMI/FUCOMI(P) and long NOPs (0F 1F); the
# Pentium's CMPXCHG8B, RDTSC, RDMSR and RDPMC; CPUID, which 486s before the DX4 lack; SYSENTER and
# SYSCALL; and every MMX, 3DNow!, SSE and AVX instruction (any MMX or vector register, and those
# that name none). UD2, which __builtin_trap emits, is left: a 386 faults on it just the same, as
# intended.
newer='^(xadd|cmpxchg|bswap|invd$|wbinvd|invlpg|cmov|fcmov|fu?comip?$|nop[wl]$|rdtsc|rdmsr|wrmsr|rdpmc|rdrand|rdseed|cpuid|sysenter|sysexit|syscall|sysret|emms|femms|fxsave|fxrstor|xsave|xrstor|xgetbv|ldmxcsr|stmxcsr|[slm]fence|clflush|movnti|prefetch|fisttp|endbr|popcnt|lzcnt|tzcnt|movbe|crc32|vzero)'

check() {  # shipped symbols map
  local shipped=$1 symbols=$2 map=$3 name
  name=$(basename "$shipped")
  for f in "$shipped" "$symbols" "$map"; do
    [ -f "$f" ] || { echo "$name: $f is missing"; status=1; return; }
  done
  # The copy with symbols must hold the very code that ships.
  "$objcopy" -O binary -j .text "$shipped" "$tmp/shipped.text"
  "$objcopy" -O binary -j .text "$symbols" "$tmp/symbols.text"
  if ! cmp -s "$tmp/shipped.text" "$tmp/symbols.text"; then
    echo "$name: the code of $symbols differs from the program's; rebuild both"
    status=1; return
  fi

  # Code input sections of .text: "start end object", from the map. A long section name puts
  # the address on the next line.
  awk '
    /^\.text[ \t]/ { intext = 1; next }
    intext && /^\.[^ ]/ { exit }
    !intext { next }
    pending != "" && /^ +0x/ { $0 = " " pending $0; pending = "" }
    /^ \.[^ ]+$/ { pending = $1; next }
    { pending = "" }
    /^ \.text[^ ]* +0x[0-9a-f]+ +0x[0-9a-f]+ / {
      start = strtonum($2); size = strtonum($3)
      if (size > 0) { obj = $4; for (i = 5; i <= NF; i++) obj = obj " " $i; printf "%d %d %s\n", start, start + size, obj }
    }' "$map" | sort -n >"$tmp/code.ranges"
  [ -s "$tmp/code.ranges" ] || { echo "$name: no code sections found in $map"; status=1; return; }

  "$objdump" -d -w --no-show-raw-insn "$symbols" >"$tmp/disasm.txt"
  NEWER=$newer awk -v name="$name" -v ranges="$tmp/code.ranges" '
    BEGIN {
      while ((getline line < ranges) > 0) {
        n++; split(line, v, " "); lo[n] = v[1]; hi[n] = v[2]
        sub(/^[0-9]+ [0-9]+ /, "", line); sub(/.*\//, "", line); obj[n] = line
      }
      r = 1; newer = ENVIRON["NEWER"]
    }
    /^[0-9a-f]+ <.*>:$/ { fn = $2; gsub(/[<>:]/, "", fn); next }
    /^ +[0-9a-f]+:\t/ {
      addr = strtonum("0x" substr($1, 1, length($1) - 1))
      while (r <= n && addr >= hi[r]) r++
      if (r > n || addr < lo[r]) next          # data, fill, or another section
      split($0, part, "\t"); insn = part[2]
      split(insn, w, " "); mnem = w[1]
      if (mnem ~ /^(rep|repz|repnz|lock|data16|addr16|cs|ds|es|fs|gs|ss|notrack|bnd)$/ && w[2] != "") mnem = w[2]
      checked++; seen[obj[r]] = 1; fns[fn] = 1
      if (mnem ~ newer || insn ~ /%(mm|xmm|ymm|zmm)[0-9]|%k[0-7]/ || mnem == "nop" && w[2] != "" || insn ~ /\(bad\)/) {
        found++; bad[mnem]++
        if (found <= 40) printf "%s: NEWER THAN THE 386  %08x  %-40s in %s, from %s\n", name, addr, insn, fn, obj[r]
      }
      if (mnem ~ /^f/) fpu[fn] = 1
    }
    END {
      for (o in seen) objects++
      for (g in fns) functions++
      for (g in fpu) fpufns++
      if (found) {
        if (found > 40) printf "%s: ... %d more\n", name, found - 40
        summary = ""; for (m in bad) summary = summary sprintf(" %s %d,", m, bad[m])
        printf "%s: FAILED: %d instructions newer than the 386 (%s ) in %d instructions of %d functions from %d objects\n", name, found, substr(summary, 1, length(summary) - 1), checked, functions, objects
        exit 1
      }
      printf "%s: %d instructions of %d functions from %d objects checked: none newer than the 386 (%d functions use the FPU)\n", name, checked, functions, objects, fpufns
    }' "$tmp/disasm.txt" || status=1
}

[ $# -ge 3 ] && [ $(($# % 3)) -eq 0 ] || { echo "usage: $0 SHIPPED.exe SYMBOLS.exe SYMBOLS.map [...]"; exit 2; }
while [ $# -ge 3 ]; do
  check "$1" "$2" "$3"
  shift 3
done
exit $status
