#!/usr/bin/env bash
# The pictures in docs/screenshots/: every page, the input dialog and the "Save ?" question at
# 96 DPI, "Sys Info" at 120, 144 and 192 DPI, and every page again as Windows 98 shows it. They are taken from the real keelbrook.exe by
# the end-to-end scenarios Screenshots.* and Dpi/LayoutAtDpi.* under Wine and a private Xvfb
# (whatever display the caller has), so that they look the same on every machine. The project's
# prefix lets Wine draw the window frames itself (X11 Driver, Managed=N), so each picture shows
# the window with its title bar and border, as on a Windows desktop.
#
# KB_WIN32_DIR names another build (default: the one Wine runs here, tools/wine-env.sh). PNGs are written without time
# stamps: the same program gives the same files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/docs/screenshots"
source "$root/tools/wine-env.sh"
build=${KB_WIN32_DIR:-$KB_RUN_DIR}

for f in keelbrook.exe keelbrook_e2e.exe; do
  [ -f "$build/$f" ] || { echo "screenshots: $build/$f is missing; build the win32 preset first" >&2; exit 1; }
done

# The prefix's wineserver: started here unless it already runs (a `make run` window, say), and
# then stopped here only if it was started here.
server_socket() {
  printf '/tmp/.wine-%s/server-%x-%x/socket' "$(id -u)" "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")"
}

shots=$(mktemp -d)
own_server=
cleanup() {
  if [ -n "$own_server" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  kb_stop_xvfb
  rm -rf "$shots"
}
trap cleanup EXIT

kb_ensure_prefix
KB_FORCE_XVFB=1 kb_start_xvfb
[ -S "$(server_socket)" ] || own_server=1
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null

status=0
if ! KB_EXE="Z:$build/keelbrook.exe" KB_BIN="Z:$build" KB_SCREENS="Z:$shots" \
  wine "$build/keelbrook_e2e.exe" --gtest_filter='Screenshots.*:Dpi/LayoutAtDpi.*' --gtest_brief=1 2>&1 |
  tr -d '\r' | grep -v '^$'; then
  status=1
fi

mkdir -p "$out"
png() {  # BMP name in the shots, PNG name in docs/screenshots
  if [ ! -f "$shots/$1.bmp" ]; then
    echo "screenshots: $1 was not taken" >&2
    status=1
    return
  fi
  convert "$shots/$1.bmp" -strip -define png:exclude-chunks=date,time "$out/$2.png"
}
for page in sysinfo uninstall sendto optimise osinfo about; do
  png "page-$page" "$page"
  png "win98-$page" "win98-$page"
done
png input-dialog input-dialog
png save-question save-question
for dpi in 120 144 192; do png "dpi-$dpi-sysinfo" "sysinfo-${dpi}dpi"; done

[ "$status" -eq 0 ] && kb_release_prefix
echo "Screenshots in $out:"
ls "$out"/*.png | sed "s|^$root/|  |"
exit $status
