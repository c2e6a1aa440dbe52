#!/usr/bin/env bash
# wine-fixture.sh setup|cleanup STATE_DIR
# setup: starts Xvfb on a free display and makes a fresh private Wine prefix in STATE_DIR, with no COM port
#        links of its own (tests create the ports they need).
# cleanup: stops the prefix's wineserver and the Xvfb that setup started (by process id).
set -u
cmd=${1:?setup or cleanup}
state=${2:?state directory}
export WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

case "$cmd" in
setup)
  # A previous run that was killed may have left its own fixture behind.
  [ -f "$state/xvfb.pid" ] && bash "$0" cleanup "$state" >/dev/null 2>&1
  rm -rf "$state"
  mkdir -p "$state"
  # Several fixtures (other build trees, other users of the machine) may start at once: an Xvfb that loses
  # the race for a display number exits, and the next number is tried.
  n=90
  started=""
  while [ -z "$started" ] && [ $n -lt 400 ]; do
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then n=$((n + 1)); continue; fi
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
      if ! kill -0 "$pid" 2>/dev/null; then break; fi
      if [ -e "/tmp/.X11-unix/X$n" ] && [ "$(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ]; then
        started=yes
        break
      fi
      sleep 0.1
    done
    if [ -z "$started" ]; then kill "$pid" 2>/dev/null; n=$((n + 1)); fi
  done
  if [ -z "$started" ]; then echo "Xvfb could not start" >&2; cat "$state/xvfb.log" >&2; exit 1; fi
  echo "$pid" >"$state/xvfb.pid"
  echo ":$n" >"$state/display"
  export DISPLAY=":$n"
  wineboot -i >"$state/wineboot.log" 2>&1
  # No window manager runs on the test display: Wine draws the frames and title bars itself, as Windows does,
  # and never waits for a manager to map a window.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$state/wineboot.log" 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >>"$state/wineboot.log" 2>&1
  # The fonts the program's windows name, with their metrics (as scripts/run.sh gives them to its prefix).
  bash "$(dirname "$0")/../../scripts/wine-fonts.sh" "$WINEPREFIX" >>"$state/wineboot.log" 2>&1
  wineserver -w
  rm -f "$WINEPREFIX"/dosdevices/com[0-9]* "$WINEPREFIX"/dosdevices/lpt[0-9]*
  echo "Wine prefix ready in $WINEPREFIX on display :$n"
  ;;
cleanup)
  wineserver -k >/dev/null 2>&1
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" >/dev/null 2>&1
    rm -f "$state/xvfb.pid"
  fi
  ;;
*)
  echo "usage: $0 setup|cleanup STATE_DIR" >&2
  exit 2
  ;;
esac
exit 0
