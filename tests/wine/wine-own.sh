#!/usr/bin/env bash
# wine-own.sh STATE_DIR SCRIPT [ARGS...]: runs `bash SCRIPT OWN_DIR ARGS...`, where OWN_DIR is a fixture of
# this test's own, laid out as the shared one (OWN_DIR/prefix, OWN_DIR/display): a copy of the fixture's
# template prefix, with its own wineserver, and an Xvfb on a display of its own. A test that reads the
# screen back, or needs the active window and the keyboard, runs beside the others this way. Everything is
# stopped and removed when SCRIPT ends; a test killed on its time-out leaves OWN_DIR for the fixture's
# cleanup (wine-fixture.sh cleanup), which stops what it names by process id.
set -u
state=${1:?state directory}
script=${2:?script}
shift 2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-lib.sh"
[ -d "$state/template" ] || { echo "the wine fixture is not set up ($state)" >&2; exit 1; }

own=$(mktemp -d "$state/own/XXXXXX")
child=""
# The test's processes form a process group of their own (job control below): whatever the script left
# running (a simulator whose script was killed keeps ctest's output pipe open) is stopped with it.
stop_group() {
  [ -n "$child" ] || return 0
  pgrep -g "$child" >/dev/null 2>&1 || return 0
  kill -TERM -- "-$child" 2>/dev/null
  for _ in $(seq 1 20); do pgrep -g "$child" >/dev/null 2>&1 || return 0; sleep 0.1; done
  kill -KILL -- "-$child" 2>/dev/null
}
# The wineserver first: it ends the Wine processes as it should (a signal to the group would stop it too, and
# it would print its objects).
finish() {
  wine_stop "$own"
  stop_group
  rm -rf "$own"
}
stop() {
  wine_stop "$own"
  stop_group
  exit "$1"
}
trap finish EXIT
trap 'stop 143' TERM
trap 'stop 130' INT
trap 'stop 129' HUP

wine_copy_prefix "$state/template" "$own/prefix" || exit 1
wine_start_xvfb "$own" || exit 1
# WINE_COMPOSITOR=1: a compositing manager on the display, so that layered windows show their per-pixel alpha.
if [ "${WINE_COMPOSITOR:-0}" = 1 ]; then wine_start_compositor "$own" || exit 1; fi
# WINE_WINDOW_MANAGER=1: a window manager on the display (openbox), which Wine hands its windows to, as on an
# operator's desktop (the template's prefix keeps them from a manager: that setting goes from this copy).
if [ "${WINE_WINDOW_MANAGER:-0}" = 1 ]; then
  sed -i '/^"Managed"="N"$/d; /^"Decorated"="N"$/d' "$own/prefix/user.reg"
  wine_start_window_manager "$own" || exit 1
fi
# WINE_DESKTOP=1: Wine's own desktop as large as the screen, in which Wine places, frames and focuses its
# windows (as scripts/run.sh shows its stations where there is no display of the operator's).
if [ "${WINE_DESKTOP:-0}" = 1 ]; then
  size=${WINE_SCREEN:-1280x1024x24}
  size=${size%x*}
  sed -i '/^"Managed"="N"$/d; /^"Decorated"="N"$/d' "$own/prefix/user.reg"
  printf '\n[Software\\\\Wine\\\\Explorer] 1700000000\n"Desktop"="Tests"\n\n[Software\\\\Wine\\\\Explorer\\\\Desktops] 1700000000\n"Tests"="%s"\n' \
    "$size" >>"$own/prefix/user.reg"
fi
# In the background, so that a signal stops the test and the fixture at once, and in a process group of its
# own.
set -m
bash "$script" "$own" "$@" &
child=$!
set +m
wait "$child"
