#!/usr/bin/env bash
# wine-fixture.sh setup|cleanup STATE_DIR
# setup: makes a Wine prefix in STATE_DIR/template, with no COM port links of its own (tests create the ports
#        they need), and from it the shared fixture: a prefix in STATE_DIR/prefix and an Xvfb on a free
#        display. Tests that need a display and a prefix of their own copy the template (wine-own.sh).
# cleanup: stops the shared fixture's wineserver and Xvfb, and whatever a test killed on its time-out left of
#          its own fixture (STATE_DIR/own/*), by process id.
set -u
cmd=${1:?setup or cleanup}
state=${2:?state directory}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-lib.sh"

cleanup() {
  local d
  for d in "$state"/own/*/; do
    [ -d "$d" ] || continue
    wine_stop "${d%/}"
    rm -rf "$d"
  done
  wine_stop "$state"
}

case "$cmd" in
setup)
  # A previous run that was killed may have left its fixtures behind.
  [ -d "$state" ] && cleanup >/dev/null 2>&1
  rm -rf "$state"
  mkdir -p "$state/own"
  wine_start_xvfb "$state" || exit 1
  DISPLAY=$(cat "$state/display")
  export DISPLAY WINEPREFIX="$state/template"
  wineboot -i >"$state/wineboot.log" 2>&1
  # No window manager runs on the test display: Wine draws the frames and title bars itself, as Windows does,
  # and never waits for a manager to map a window.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$state/wineboot.log" 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >>"$state/wineboot.log" 2>&1
  # The fonts the program's windows name, with their metrics (as scripts/run.sh gives them to its prefix).
  bash "$here/../../scripts/wine-fonts.sh" "$WINEPREFIX" >>"$state/wineboot.log" 2>&1
  wineserver -w
  rm -f "$WINEPREFIX"/dosdevices/com[0-9]* "$WINEPREFIX"/dosdevices/lpt[0-9]*
  if [ ! -f "$WINEPREFIX/system.reg" ]; then echo "wineboot failed" >&2; cat "$state/wineboot.log" >&2; exit 1; fi
  wine_copy_prefix "$state/template" "$state/prefix" || exit 1
  echo "Wine prefix ready in $state/prefix on display $DISPLAY"
  ;;
cleanup)
  cleanup
  ;;
*)
  echo "usage: $0 setup|cleanup STATE_DIR" >&2
  exit 2
  ;;
esac
exit 0
