#!/usr/bin/env bash
# The benchmarks (make bench): registry calls per listed program on the host, the size of the
# release build, then start-up, refresh and memory of keelbrook.exe under Wine, each beside a
# peer or floor program run in the same command on the same data. Prints one FIGURE line per
# figure and keeps them, with the date and the machine, in build/bench/results.txt.
#
# Wine runs in a prefix of its own (build/benchprefix), on an Xvfb display of its own, with a
# wineserver of its own; everything started here is stopped here. The programs timed under Wine
# are those of the build Wine runs here (tools/wine-env.sh): the 386 keelbrook.exe under 32-bit
# Wine, or the x86-64 build under 64-bit Wine, with the floor built the same way and the peer
# from the same Wine, so that each ratio compares like with like. The size is always the
# shipped 386 program's.
#   KB_BENCH_RUNS          start-ups per program and figure (default 7)
#   KB_BENCH_REFRESH_RUNS  "&Sync list" clicks per list size (default 5)
#   KB_BENCH_ONLY          a choice of host,size,floor,peer,refresh (default: all five), and
#                          platform: what single registry and list box calls cost under Wine
#                          (PROFILE lines; not a figure, for explaining the others)
#   KB_BENCH_HOST_DIR, KB_BENCH_WIN32_DIR (the shipped program), KB_BENCH_RUN_DIR (what Wine
#   runs), KB_BENCH_OUT  other build and result folders
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export KB_PREFIX=${KB_PREFIX:-$root/build/benchprefix}
source "$root/tools/wine-env.sh"

runs=${KB_BENCH_RUNS:-7}
refresh_runs=${KB_BENCH_REFRESH_RUNS:-5}
only=${KB_BENCH_ONLY:-host,size,floor,peer,refresh}
host_dir=${KB_BENCH_HOST_DIR:-$root/build/host}
win32_dir=${KB_BENCH_WIN32_DIR:-$root/build/win32}
run_dir=${KB_BENCH_RUN_DIR:-$KB_RUN_DIR}
out_dir=${KB_BENCH_OUT:-$root/build/bench}
mkdir -p "$out_dir"
results=$out_dir/results.txt
wants() { [[ ",$only," == *",$1,"* ]]; }

xvfb_started=
server_started=
cleanup() {
  # Only this prefix's server (wineserver -k finds it through WINEPREFIX), and the Xvfb started
  # below by its process id.
  if [ -n "$server_started" ]; then wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true; fi
  [ -n "$xvfb_started" ] && kb_stop_xvfb
}
trap cleanup EXIT

cpu=$(sed -n 's/^model name\s*:\s*//p' /proc/cpuinfo | head -1)
{
  echo "# $(date -u '+%Y-%m-%d %H:%M UTC'), $(uname -srm), ${cpu:-unknown CPU}, $(nproc) cores, $(wine --version 2>/dev/null)"
  echo "# runs: $runs start-ups per program, $refresh_runs refreshes per size; medians [min..max]"
  if [ "$KB_WINE_ARCH" = win32 ]; then
    echo "# under Wine: keelbrook.exe as shipped (386) and its floor, 32-bit Wine and its uninstaller"
  else
    echo "# under Wine: the x86-64 build of keelbrook.exe and of its floor, 64-bit Wine and its uninstaller (this machine runs no 32-bit code)"
  fi
} | tee "$results"

status=0
figure() { tr -d '\r' | tee -a "$results" | grep -E '^(FIGURE|PROFILE|bench:)' ; }

if wants host; then
  bin=$host_dir/keelbrook_bench_host
  if [ -x "$bin" ]; then
    "$bin" --benchmark_min_time=0.2 >"$out_dir/host-benchmark.txt" 2>&1 || status=1
    grep '^FIGURE' "$out_dir/host-benchmark.txt" | tee -a "$results"
  else
    echo "bench: $bin is missing (libbenchmark-dev not installed?)" | tee -a "$results"
    status=1
  fi
fi

if wants size; then
  exe=$win32_dir/keelbrook.exe
  floor=$win32_dir/empty_window.exe
  tmp=$(mktemp -d)
  # Stripped again here, so that the figure holds whatever the link options say.
  i686-w64-mingw32-strip -o "$tmp/keelbrook.exe" "$exe"
  i686-w64-mingw32-strip -o "$tmp/empty_window.exe" "$floor"
  size=$(stat -c %s "$tmp/keelbrook.exe")
  floor_size=$(stat -c %s "$tmp/empty_window.exe")
  dlls=$(i686-w64-mingw32-objdump -p "$tmp/keelbrook.exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | paste -sd, -)
  rm -rf "$tmp"
  awk -v s="$size" -v f="$floor_size" -v d="$dlls" 'BEGIN {
    budget = 550 * 1024; r = s / budget
    printf "FIGURE  %-36s keelbrook %.1f KB (release, stripped)     | %-28s %.1f KB | ratio %.2f  goal < 1.0 %s  floor empty_window.exe %.1f KB; imports %s\n",
      "size of keelbrook.exe", s / 1024, "budget", budget / 1024, r, (r < 1.0 ? "met" : "MISSED"), f / 1024, d }' | tee -a "$results"
  # Where the bytes are, for whoever works on the size.
  sections=
  while read -r name hex; do
    sections+="$name $(( 16#$hex / 1024 )) KB, "
  done < <(i686-w64-mingw32-objdump -h "$exe" | awk '$2 ~ /^\./ { print $2, $3 }')
  echo "bench: sections of keelbrook.exe: ${sections%, }" | tee -a "$results"
fi

choices=
for c in floor peer refresh platform; do wants "$c" && choices+=${choices:+,}$c; done
if [ -n "$choices" ]; then
  kb_ensure_prefix
  KB_FORCE_XVFB=1 kb_start_xvfb
  xvfb_started=1
  wineserver -p >/dev/null 2>&1 </dev/null
  server_started=1
  wine cmd /c exit >/dev/null 2>&1 </dev/null
  wine "$run_dir/keelbrook_bench.exe" --keelbrook "Z:$run_dir/keelbrook.exe" --floor "Z:$run_dir/empty_window.exe" \
    --runs "$runs" --refresh-runs "$refresh_runs" --only "$choices" 2>/dev/null </dev/null | figure
  [ "${PIPESTATUS[0]}" -eq 0 ] && kb_release_prefix || status=1
fi

echo "Results: $results"
exit $status
