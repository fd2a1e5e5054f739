#!/usr/bin/env bash
# Runs every libFuzzer target of tests/fuzz/ for a bounded time and reports, per target, the
# executions per second and the coverage reached (libFuzzer's cov: edges and ft: features).
#
#   tools/fuzz.sh                 each target for KB_FUZZ_SECONDS (default 60) seconds
#   tools/fuzz.sh --smoke         each target for a few seconds; exits non-zero on any crash
#   tools/fuzz.sh [--smoke] NAME  only the named targets (registry_read, checksum, ...)
#
# Builds the clang configuration in KB_FUZZ_BUILD (default build/fuzz) when needed. Inputs the
# fuzzer finds go to the build folder, never into the repository; a crash is saved there too,
# with the line to copy it under tests/fuzz/regressions/<target>/, where the unit suite and every
# later run replay it. Each target first replays those kept regressions.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KB_FUZZ_BUILD:-$root/build/fuzz}

smoke=0
targets=()
for arg in "$@"; do
  case "$arg" in
    --smoke) smoke=1 ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    *) targets+=("$arg") ;;
  esac
done
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" _fuzz.cpp)"); done
fi
if [ "$smoke" -eq 1 ]; then seconds=${KB_FUZZ_SMOKE_SECONDS:-3}; else seconds=${KB_FUZZ_SECONDS:-60}; fi

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is missing (tools/install-deps.sh installs it)" >&2
  exit 1
fi
# Configured every time (it takes a moment): a target added since the last run needs it.
mkdir -p "$build"
if [ -f "$build/CMakeCache.txt" ]; then
  configure=(cmake -S "$root" -B "$build")
else
  configure=(cmake -S "$root" -B "$build" -DKB_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug
             -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang)
fi
"${configure[@]}" >"$build/fuzz-configure.log" 2>&1 || { cat "$build/fuzz-configure.log" >&2; exit 1; }
make_targets=()
for t in "${targets[@]}"; do make_targets+=(--target "${t}_fuzz"); done
if ! cmake --build "$build" -j2 "${make_targets[@]}" >"$build/fuzz-build.log" 2>&1; then
  grep -E 'error|Error' "$build/fuzz-build.log" | head -20 >&2
  echo "fuzz: build failed, see $build/fuzz-build.log" >&2
  exit 1
fi

# Sanitizer reports end the run at once and name the faulting line.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
printf '%-20s %8s %10s %10s %8s %8s  %s\n' target seconds runs exec/s cov ft result
for t in "${targets[@]}"; do
  bin="$build/${t}_fuzz"
  seeds="$root/tests/fuzz/corpus/$t"
  kept="$root/tests/fuzz/regressions/$t"
  work="$build/corpus/$t"
  crashes="$build/crashes/$t"
  log="$build/logs/$t.log"
  mkdir -p "$work" "$crashes" "$(dirname "$log")"
  result=ok

  # Past crashes first: each file once.
  if compgen -G "$kept/*" >/dev/null; then
    if ! "$bin" -runs=1 "$kept"/* >"$build/logs/$t.regressions.log" 2>&1; then
      result="REGRESSION (see $build/logs/$t.regressions.log)"
      status=1
    fi
  fi

  # New inputs go to the first folder (the build's); the seeds are only read.
  "$bin" "$work" "$seeds" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
         -print_final_stats=1 -artifact_prefix="$crashes/" >"$log" 2>&1
  rc=$?
  runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$log" | tail -1)
  speed=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+).*/\1/p' "$log" | tail -1)
  cov=$(grep -E ' cov: ' "$log" | tail -1 | sed -nE 's/.* cov: ([0-9]+).*/\1/p')
  ft=$(grep -E ' ft: ' "$log" | tail -1 | sed -nE 's/.* ft: ([0-9]+).*/\1/p')
  if [ $rc -ne 0 ]; then
    status=1
    artifact=$(sed -nE 's/.*Test unit written to (.*)$/\1/p' "$log" | tail -1)
    result="CRASH: ${artifact:-see $log}"
  fi
  printf '%-20s %8s %10s %10s %8s %8s  %s\n' "$t" "$seconds" "${runs:--}" "${speed:--}" "${cov:--}" "${ft:--}" "$result"
  if [ $rc -ne 0 ]; then
    grep -E 'invariant broken|ERROR: (Address|Undefined|libFuzzer)|runtime error|SUMMARY' "$log" | head -5 | sed 's/^/    /'
    [ -n "${artifact:-}" ] && echo "    keep it: mkdir -p $kept && cp $artifact $kept/"
  fi
done
exit $status
