#!/usr/bin/env bash
# One stage of `make`: one line that says what it does and, once done, how long it took; the
# tools' own output goes to a log. When the stage fails, its whole output is shown and make stops.
#
#   tools/stage.sh "what it does" LOG command [args...]
set -uo pipefail
what=$1 log=$2
shift 2
mkdir -p "$(dirname "$log")"
start=$SECONDS
printf '%s ... ' "$what"
"$@" >"$log" 2>&1
rc=$?
if [ "$rc" -eq 0 ]; then
  echo "done ($((SECONDS - start)) s)"
  exit 0
fi
echo "FAILED (exit $rc); its output, also in $log:"
cat "$log"
exit "$rc"
