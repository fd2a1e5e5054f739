# Sourced by the scripts that run Windows programs: the project's own Wine prefix, quiet, with no
# installer dialogs and no crash dialog, created on first use and rebuilt when missing.
# KB_PREFIX may name another prefix (the benchmarks keep theirs apart).
#
# Which Wine: 32-bit where this machine runs 32-bit code, else 64-bit (tools/wine-arch.sh; make
# asks once and passes KB_WINE_ARCH down). It sets
#   KB_RUN_DIR   the build whose programs run here: build/win32 (the 386 keelbrook.exe we ship)
#                or build/win64 (the x86-64 build of the same sources)
#   WINEPREFIX   a prefix of that Wine's own: a 64-bit one is named as the 32-bit one with "64"
#                added (build/wineprefix64)
# and the shell functions wine and wineboot that run that Wine's loader. The loader is named by
# its file on both paths: a bare `wine` inside the function `wine` would be the function itself,
# calling itself until bash overflows its stack (tests/check-wine-loaders.sh keeps it so).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KB_WINE_ARCH=$("$root/tools/wine-arch.sh") || exit 2
export KB_WINE_ARCH
if [ "$KB_WINE_ARCH" = win64 ]; then
  # Named: Debian's wine script takes the 32-bit loader whenever it is installed.
  KB_WINE_LOADER=/usr/lib/wine/wine64
  export WINELOADER=$KB_WINE_LOADER
  KB_RUN_DIR=$root/build/win64
  export WINEPREFIX=${KB_PREFIX:-$root/build/wineprefix}64
else
  # Debian's script, which takes the 32-bit loader (wine32:i386, tools/install-deps.sh).
  KB_WINE_LOADER=/usr/bin/wine
  KB_RUN_DIR=$root/build/win32
  export WINEPREFIX=${KB_PREFIX:-$root/build/wineprefix}
fi
export WINEARCH=$KB_WINE_ARCH
export WINEDEBUG=${KB_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
wine() { "$KB_WINE_LOADER" "$@"; }
wineboot() { wine wineboot "$@"; }

# Ready, made for this Wine (the other one cannot use it), and left whole by the last run.
kb_prefix_ready() {
  [ -f "$WINEPREFIX/.keelbrook-ready" ] && grep -qx "#arch=$WINEARCH" "$WINEPREFIX/system.reg" 2>/dev/null
}

# The prefix is handed to one run: its mark is taken away while the run uses it, and
# kb_release_prefix puts it back when the run has gone to its end. A run cut short (killed, timed
# out, interrupted) stopped its cases before they put back the keys and files they changed, so
# the next run makes the prefix afresh rather than fail every case on what was left.
kb_ensure_prefix() {
  if ! kb_prefix_ready; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
    # Fonts the dialogs name ("MS Sans Serif" falls back badly without them).
    if [ -d /usr/share/wine/fonts ]; then
      cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    # No crash dialog that would block a headless run, and no 2 s cost per hidden window on a
    # bare X server.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    wineserver -w
  fi
  rm -f "$WINEPREFIX/.keelbrook-ready"
  # Interrupted, the run ends there (its EXIT trap still stops what it started), unreleased: Wine
  # takes Ctrl+C for its own, and a program it stopped may still end with status 0.
  trap 'exit 130' INT TERM HUP
}

kb_release_prefix() { touch "$WINEPREFIX/.keelbrook-ready"; }

# Starts Xvfb on a free display when none is given; KB_XVFB_PID names it for kb_stop_xvfb.
kb_start_xvfb() {
  KB_XVFB_PID=
  if [ -n "${DISPLAY:-}" ] && [ -z "${KB_FORCE_XVFB:-}" ]; then return 0; fi
  local fifo; fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  KB_XVFB_PID=$!
  local n; read -r n <"$fifo"; rm -f "$fifo"
  export DISPLAY=":$n"
}

kb_stop_xvfb() {
  if [ -n "${KB_XVFB_PID:-}" ]; then kill "$KB_XVFB_PID" 2>/dev/null; wait "$KB_XVFB_PID" 2>/dev/null; fi
  KB_XVFB_PID=
}

# The wineserver of the prefix, started once so that each test does not pay for it; its pid is
# kept so that exactly this server is stopped afterwards.
kb_start_wineserver() {
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null
  # Other prefixes may have servers of their own on this machine: take the one of ours.
  KB_WINESERVER_PID=
  local pid
  for pid in $(pgrep -x wineserver 2>/dev/null) $(pgrep -f 'wineserver' 2>/dev/null); do
    if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      KB_WINESERVER_PID=$pid
      break
    fi
  done
}

kb_stop_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${KB_WINESERVER_PID:-}" ] && kill -0 "$KB_WINESERVER_PID" 2>/dev/null; then
    kill "$KB_WINESERVER_PID" 2>/dev/null || true
  fi
  KB_WINESERVER_PID=
}
