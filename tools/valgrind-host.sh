#!/usr/bin/env bash
# valgrind's memcheck over the host unit suite: keelbrook_unit_plain, the same tests built
# without sanitizers (ASan and valgrind cannot share a process). Fails on any memory error and on
# memory definitely lost; prints the counts and the time taken.
#
#   tools/valgrind-host.sh              the whole suite
#   KB_VALGRIND_FILTER='Registry*' ...  a GoogleTest filter
# The host build folder is KB_HOST_BUILD (default build/host, the `host` preset's).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KB_HOST_BUILD:-$root/build/host}
# Left out by default: the render of every shipped picture by the build machine's picture
# generator, which takes a minute under memcheck alone; the smaller generator tests stay in, and
# the ASan run of the suite covers it whole.
filter=${KB_VALGRIND_FILTER:-*-ImageGen.ShippedManifestDrawsEveryPictureOfTheProgram}

if ! command -v valgrind >/dev/null; then
  echo "valgrind-host: valgrind is missing (tools/install-deps.sh installs it)" >&2
  exit 1
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null || exit 1
fi
if ! cmake --build "$build" -j2 --target keelbrook_unit_plain >"$build/valgrind-build.log" 2>&1; then
  grep -E 'error' "$build/valgrind-build.log" | head -20 >&2
  echo "valgrind-host: build failed, see $build/valgrind-build.log" >&2
  exit 1
fi

log="$build/valgrind.log"
out="$build/valgrind-tests.log"
start=$(date +%s)
valgrind --tool=memcheck --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
         --show-leak-kinds=definite --num-callers=30 --log-file="$log" \
         "$build/keelbrook_unit_plain" --gtest_brief=1 --gtest_filter="$filter" >"$out" 2>&1
rc=$?
seconds=$(( $(date +%s) - start ))

errors=$(sed -nE 's/.*ERROR SUMMARY: ([0-9]+) errors.*/\1/p' "$log" | tail -1)
lost=$(sed -nE 's/.*definitely lost: ([0-9,]+) bytes.*/\1/p' "$log" | tail -1)
tests=$(sed -nE 's/.*\[==========\] ([0-9]+) tests? from .* ran.*/\1/p' "$out" | tail -1)
failed=$(sed -nE 's/.*\[  FAILED  \] ([0-9]+) tests?, listed below.*/\1/p' "$out" | tail -1)
echo "valgrind memcheck: ${tests:-?} tests, ${failed:-0} failed, ${errors:-?} memory errors," \
     "${lost:-0} bytes definitely lost, ${seconds} s"
if [ $rc -ne 0 ]; then
  grep -E '^\[  FAILED  \]' "$out" | sort -u | head -20
  # The first reports, each with its stack.
  grep -vE '^==[0-9]+== *$' "$log" | grep -A12 -E 'Invalid|uninitialised|Mismatched|definitely lost in' | head -60
  echo "valgrind-host: failed (rc $rc); full report in $log, test output in $out" >&2
fi
exit $rc
