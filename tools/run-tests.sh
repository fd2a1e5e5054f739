#!/usr/bin/env bash
# Every test layer in turn: host unit tests (ASan, UBSan), the Win32 adapters under Wine, and the
# end-to-end scenarios that drive the real keelbrook.exe under Wine and Xvfb. Where this machine
# runs no 32-bit code, those two run the x86-64 build (build/win64) under 64-bit Wine, and the
# shipped 386 keelbrook.exe gets the checks that read it without running it (build/win32).
# Stops every Wine and Xvfb process it started, by process id, and ends with one summary line.
# KB_TEST_LAYERS=wine runs only the layers under Wine: .ci/run's second path, after a first run
# that had the others.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/wine-env.sh"

cleanup() { kb_stop_wineserver; kb_stop_xvfb; }
trap cleanup EXIT

kb_ensure_prefix
KB_FORCE_XVFB=1 kb_start_xvfb
kb_start_wineserver
rm -rf "$root/build/screens" "$root/build/test-results" "$root"/build/*-ctest.log
mkdir -p "$root/build/screens" "$root/build/test-results"

status=0
run_layer() {  # name, build dir
  echo "== $1"
  ctest --test-dir "$2" --output-on-failure 2>&1 | tr -d '\r' | tee "$root/build/$(basename "$2")-ctest.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
}
all_layers=1
[ "${KB_TEST_LAYERS:-}" = wine ] && all_layers=
[ -n "$all_layers" ] && run_layer "host layer: the portable core against the fakes (ASan, UBSan)" "$root/build/host"
if [ "$KB_WINE_ARCH" = win32 ]; then
  run_layer "Windows layers: the adapters under Wine, then keelbrook.exe end to end" "$root/build/win32"
else
  [ -n "$all_layers" ] && run_layer "the shipped keelbrook.exe (386), read: its imports, instructions, icons and zip" "$root/build/win32"
  run_layer "Windows layers, x86-64 build under 64-bit Wine: the adapters, then keelbrook.exe end to end" "$root/build/win64"
fi

# Every case passed, so each put back what it changed: the next run may take the prefix as it is.
# (After a failure, a crash or a case stopped at its time limit, it makes the prefix afresh.)
[ "$status" -eq 0 ] && kb_release_prefix

"$root/tools/bmp-to-png.sh" "$root/build/screens"
echo "Screenshots: $root/build/screens/"

# One closing line for both runs of ctest: the test cases that ran. An entry with a GoogleTest
# report counts its cases; an entry that failed without reporting a failed case (it crashed or
# timed out) counts one failure more; a script check counts as one case.
cat "$root"/build/*-ctest.log |
  sed -nE 's/^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: ([^ ]+) [ .]*(\*\*\*)?([A-Za-z]+).*/\1 \3/p' |
  while read -r name result; do
    ok=1; [ "$result" = Passed ] || ok=0
    report="$root/build/test-results/$name.xml"
    if [ -f "$report" ]; then
      head=$(grep -m1 -o '<testsuites [^>]*' "$report")
      attr() { echo "$head" | sed -nE "s/.* $1=\"([0-9]+)\".*/\1/p"; }
      failed=$(( $(attr failures) + $(attr errors) ))
      [ "$ok" -eq 0 ] && [ "$failed" -eq 0 ] && failed=1
      echo "$(( $(attr tests) - $(attr disabled) )) $failed"
    else
      echo "1 $(( 1 - ok ))"
    fi
  done |
  awk '{ t += $1; f += $2 } END { printf "%d passed, %d failed\n", t - f, f }'
exit $status
