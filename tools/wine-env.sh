# Sourced by the test wrapper and by run.sh: a private Wine prefix and, when
# there is no display, a private Xvfb, both kept in one state folder and
# created once under a lock (tests run in parallel and would race).
#
#   qel_wine_env STATE_DIR   sets WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, DISPLAY
#
# Everything started here runs detached with its output in the state folder:
# helpers that inherit the caller's pipes would keep CTest waiting for them.

qel_tools_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

qel_start_xvfb() {
  local state=$1 fd_file="$1/xvfb.displayfd"
  rm -f "$fd_file"
  setsid Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -ac \
    3>"$fd_file" </dev/null >"$state/xvfb.log" 2>&1 9>&- &
  echo $! >"$state/xvfb.pid"
  local i
  for i in $(seq 1 100); do
    if [ -s "$fd_file" ]; then
      echo ":$(tr -d '\n' <"$fd_file")" >"$state/display"
      return 0
    fi
    sleep 0.05
  done
  echo "Xvfb did not start; see $state/xvfb.log" >&2
  return 1
}

qel_ensure_display() {
  local state=$1
  if [ -s "$state/display" ] && xdpyinfo -display "$(cat "$state/display")" >/dev/null 2>&1; then
    return 0
  fi
  qel_start_xvfb "$state"
}

qel_make_prefix() {
  local state=$1
  rm -rf "$WINEPREFIX"
  wineboot -i </dev/null >"$state/wineboot.log" 2>&1 9>&-
  # Crash dialogs wait forever; unmanaged windows skip Wine's 2 s wait for a
  # window manager; the Japanese face the programs ask for maps to IPAGothic.
  # regedit wants UTF-16 for the non-ASCII face name.
  iconv -f UTF-8 -t UTF-16 >"$state/settings.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ ゴシック"="IPAGothic"
"MS Gothic"="IPAGothic"
REG
  wine regedit /S "$(winepath -w "$state/settings.reg" 2>/dev/null)" </dev/null >>"$state/wineboot.log" 2>&1 9>&-
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -f /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wineserver -w </dev/null >/dev/null 2>&1 9>&- || true
  touch "$WINEPREFIX/.qel-ready"
}

# Every process started while the lock is held gets fd 9 closed (9>&-):
# Xvfb and Wine's servers outlive the block and would keep the lock forever.
qel_wine_env() {
  local state=$1
  mkdir -p "$state"
  state=$(cd "$state" && pwd)
  export WINEPREFIX="$state/prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  (
    flock 9
    if [ -z "${QEL_USE_OWN_DISPLAY:-}" ]; then
      qel_ensure_display "$state" || exit 1
    fi
    if [ ! -f "$WINEPREFIX/.qel-ready" ]; then
      [ -n "${QEL_USE_OWN_DISPLAY:-}" ] || export DISPLAY=$(cat "$state/display")
      qel_make_prefix "$state"
    fi
    # A persistent server keeps later starts at a fraction of a second.
    setsid wineserver -p </dev/null >/dev/null 2>&1 9>&- &
  ) 9>"$state/lock" || return 1
  if [ -z "${QEL_USE_OWN_DISPLAY:-}" ]; then
    export DISPLAY=$(cat "$state/display")
  fi
}

# Stops the server and the display of a state folder (end of a test run).
qel_wine_stop() {
  local state=$1
  [ -d "$state/prefix" ] || return 0
  state=$(cd "$state" && pwd)
  WINEPREFIX="$state/prefix" wineserver -k </dev/null >/dev/null 2>&1 || true
  [ -s "$state/xvfb.pid" ] && kill "$(cat "$state/xvfb.pid")" 2>/dev/null
  rm -f "$state/xvfb.pid"
  rm -f "$state/display"
}
