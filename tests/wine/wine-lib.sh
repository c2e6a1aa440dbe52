# Functions shared by the Wine fixture scripts (sourced, not run).
export WINEDEBUG="${STATION_WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

# wine_start_xvfb DIR: starts Xvfb on a display number that the X server picks itself (-displayfd: it takes
# the first number whose lock file it can create, so fixtures started at the same moment by concurrent ctest
# runs never share a display), and writes DIR/display (":N") and DIR/xvfb.pid.
# The screen is 1280 x 1024 unless WINE_SCREEN says otherwise (WIDTHxHEIGHTxDEPTH).
wine_start_xvfb() {
  local dir=$1 pid
  rm -f "$dir/display" "$dir/display.fd"
  Xvfb -displayfd 3 -screen 0 "${WINE_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$dir/display.fd" >"$dir/xvfb.log" 2>&1 &
  pid=$!
  echo "$pid" >"$dir/xvfb.pid"
  for _ in $(seq 1 300); do
    if grep -q '^[0-9][0-9]*$' "$dir/display.fd" 2>/dev/null; then
      echo ":$(head -n 1 "$dir/display.fd")" >"$dir/display"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "Xvfb could not start" >&2
  cat "$dir/xvfb.log" >&2
  kill "$pid" 2>/dev/null
  rm -f "$dir/xvfb.pid"
  return 1
}

# wine_start_compositor DIR: starts xcompmgr on the display DIR/display names (DIR/compositor.pid). It takes
# the display at once; the test program, which needs a second or more to start under Wine, asks the screen
# itself whether layered windows blend (and reads again for a while when they do not yet).
wine_start_compositor() {
  local dir=$1 pid
  command -v xcompmgr >/dev/null || { echo "xcompmgr is missing (scripts/setup.sh installs it)" >&2; return 1; }
  DISPLAY=$(cat "$dir/display") xcompmgr >"$dir/compositor.log" 2>&1 &
  pid=$!
  echo "$pid" >"$dir/compositor.pid"
  sleep 0.2
  kill -0 "$pid" 2>/dev/null && return 0
  echo "xcompmgr could not start" >&2
  cat "$dir/compositor.log" >&2
  return 1
}

# wine_start_window_manager DIR: starts openbox on the display DIR/display names (DIR/window-manager.pid), and
# waits until it announces itself on the root window.
wine_start_window_manager() {
  local dir=$1 pid
  command -v openbox >/dev/null || { echo "openbox is missing (scripts/setup.sh installs it)" >&2; return 1; }
  DISPLAY=$(cat "$dir/display") openbox --sm-disable >"$dir/window-manager.log" 2>&1 &
  pid=$!
  echo "$pid" >"$dir/window-manager.pid"
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    DISPLAY=$(cat "$dir/display") xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  echo "openbox could not start" >&2
  cat "$dir/window-manager.log" >&2
  return 1
}

# wine_stop DIR: stops the wineserver of DIR/prefix (and with it every Wine process of that prefix) and the
# Xvfb that DIR/xvfb.pid names, if that process is still an Xvfb.
wine_stop() {
  local dir=$1 pid
  if [ -d "$dir/prefix" ]; then
    WINEPREFIX="$dir/prefix" wineserver -k >/dev/null 2>&1
    WINEPREFIX="$dir/prefix" wineserver -w >/dev/null 2>&1
  fi
  if [ -f "$dir/window-manager.pid" ]; then
    pid=$(cat "$dir/window-manager.pid")
    if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = openbox ]; then kill "$pid" 2>/dev/null; fi
    rm -f "$dir/window-manager.pid"
  fi
  if [ -f "$dir/compositor.pid" ]; then
    pid=$(cat "$dir/compositor.pid")
    if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = xcompmgr ]; then kill "$pid" 2>/dev/null; fi
    rm -f "$dir/compositor.pid"
  fi
  if [ -f "$dir/xvfb.pid" ]; then
    pid=$(cat "$dir/xvfb.pid")
    if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then kill "$pid" 2>/dev/null; fi
    rm -f "$dir/xvfb.pid"
  fi
}

# wine_copy_prefix FROM TO: a copy of a prepared prefix, made in a moment. The large files (libraries and
# programs, which Wine only reads) are hard links to the original's; the registry and the small files, which
# Wine may rewrite in place, are copies of their own.
wine_copy_prefix() {
  local from=$1 to=$2
  cp -al "$from" "$to" || return 1
  find "$to" -type f \( -name '*.reg' -o -name '*.ini' -o -size -65k \) -print0 |
    while IFS= read -r -d '' f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"; done
}
