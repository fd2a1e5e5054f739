#!/usr/bin/env bash
# Every test layer in turn: host unit tests (ASan, UBSan), the Win32 adapters under Wine, and the
# end-to-end scenarios that drive the real keelbrook.exe under Wine and Xvfb. Stops every Wine
# and Xvfb process it started, by process id, and ends with ctest's summary line.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/wine-env.sh"

cleanup() { kb_stop_wineserver; kb_stop_xvfb; }
trap cleanup EXIT

kb_ensure_prefix
KB_FORCE_XVFB=1 kb_start_xvfb
kb_start_wineserver
rm -rf "$root/build/screens"; mkdir -p "$root/build/screens"

status=0
run_layer() {  # name, build dir
  echo "== $1"
  ctest --test-dir "$2" --output-on-failure 2>&1 | tr -d '\r' | tee "$root/build/$(basename "$2")-ctest.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
}
run_layer "host layer: the portable core against the fakes (ASan, UBSan)" "$root/build/host"
run_layer "Windows layers: the adapters under Wine, then keelbrook.exe end to end" "$root/build/win32"

"$root/tools/bmp-to-png.sh" "$root/build/screens"
echo "Screenshots: $root/build/screens/"

# One closing line for both runs of ctest.
cat "$root/build/host-ctest.log" "$root/build/win32-ctest.log" |
  sed -nE 's/^[0-9]+% tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' |
  awk '{ f += $1; t += $2 } END { printf "%d passed, %d failed\n", t - f, f }'
exit $status
