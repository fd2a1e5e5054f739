#!/usr/bin/env bash
# The long monkey run: KB_SOAK_ACTIONS random user actions (default 20000) from the seed
# KB_SOAK_SEED (default: taken from the clock and printed), a third each under Windows 98, NT 4.0
# and XP, the last as a Japanese system (code page 932), against keelbrook.exe in a Wine prefix and
# X server of its own. It prints the actions per second and the checks made; a failure prints the
# seed, the action and the last 30 actions:
#   make soak KB_SOAK_SEED=<seed> KB_SOAK_ACTIONS=<actions>   replays it.
# KB_SOAK_FILTER picks other scenarios of the end-to-end suite instead (a GoogleTest filter).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export KB_PREFIX=${KB_PREFIX:-$root/build/soak-prefix}
source "$root/tools/wine-env.sh"
trap 'kb_stop_wineserver; kb_stop_xvfb' EXIT
kb_ensure_prefix
KB_FORCE_XVFB=1 kb_start_xvfb
kb_start_wineserver
export KB_SOAK_SEED=${KB_SOAK_SEED:-$(date +%s)} KB_SOAK_ACTIONS=${KB_SOAK_ACTIONS:-20000}
echo "soak: seed $KB_SOAK_SEED, $KB_SOAK_ACTIONS actions"
mkdir -p "$root/build/screens"
soak_run() {
  KB_EXE="Z:$KB_RUN_DIR/keelbrook.exe" KB_BIN="Z:$KB_RUN_DIR" KB_SCREENS="Z:$root/build/screens" \
    wine "$KB_RUN_DIR/keelbrook_e2e.exe" --gtest_also_run_disabled_tests --gtest_brief=1 \
    --gtest_filter="${KB_SOAK_FILTER:-Monkey.DISABLED_Soak}" | stdbuf -oL tr -d '\r' | grep -a --line-buffered -v '^$'
  return "${PIPESTATUS[0]}"
}
soak_run
status=$?
[ -z "${KB_SOAK_FILTER:-}" ] || { [ "$status" -eq 0 ] && kb_release_prefix; exit "$status"; }

# The Japanese third. Wine takes the ANSI code page from the Unix locale (ja_JP: 932) in every
# process it starts, the monkey's and the program's. Where the system has not generated that
# locale, it is compiled from the sources of the package locales into build/ (no root needed).
locale=ja_JP.UTF-8
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
  export LOCPATH=$root/build/locale
  if [ ! -d "$LOCPATH/$locale" ]; then
    mkdir -p "$LOCPATH"
    localedef -i ja_JP -f UTF-8 "$LOCPATH/$locale" >/dev/null 2>&1 ||
      { echo "soak: could not make the locale $locale (needs the package locales)" >&2; exit 2; }
  fi
fi
# Run also when the first part failed: one soak reports what each part finds.
# (The shell itself cannot take that locale where it is compiled under build/: its complaint is
# left out, its child processes take it.)
( export LC_ALL=$locale 2>/dev/null; KB_SOAK_CODE_PAGE=932 soak_run ) || status=1
[ "$status" -eq 0 ] && kb_release_prefix
exit "$status"
