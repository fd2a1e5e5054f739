#!/usr/bin/env bash
# Starts keelbrook.exe in the project's Wine prefix (the x86-64 build where this machine runs no
# 32-bit code: tools/wine-env.sh). With a display it opens the window there;
# without one it runs under Xvfb, walks the six pages, saves a screenshot of each and says where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/wine-env.sh"
kb_ensure_prefix
exe="$KB_RUN_DIR/keelbrook.exe"
if [ -n "${DISPLAY:-}" ]; then
  # The user's own session, not a run of cases that put back what they change.
  kb_release_prefix
  exec wine "$exe"
fi
trap 'kb_stop_wineserver; kb_stop_xvfb' EXIT
KB_FORCE_XVFB=1 kb_start_xvfb
kb_start_wineserver
mkdir -p "$root/build/screens"
if KB_EXE="Z:$exe" KB_BIN="Z:$KB_RUN_DIR" KB_SCREENS="Z:$root/build/screens" \
  wine "$KB_RUN_DIR/keelbrook_e2e.exe" --gtest_filter='Spine.EachPageShowsItsOwnControlsAndCaptions' --gtest_brief=1 \
  | tr -d '\r' | grep -v '^$'; then
  kb_release_prefix
fi
"$root/tools/bmp-to-png.sh" "$root/build/screens"
echo "No display: the six pages were saved as screenshots in $root/build/screens/"
for page in sysinfo uninstall sendto optimise osinfo about; do
  ls "$root/build/screens/$page.png" 2>/dev/null | sed 's|^|  |'
done
