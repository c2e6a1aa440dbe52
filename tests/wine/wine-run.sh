#!/usr/bin/env bash
# wine-run.sh STATE_DIR PROGRAM.exe [ARGS...]: runs a Windows program in the fixture's prefix and display
# and returns its exit code.
set -u
state=${1:?state directory}
shift
export WINEPREFIX="$state/prefix"
. "$(dirname "$0")/wine-lib.sh"
if [ ! -f "$state/display" ]; then echo "the wine fixture is not set up ($state)" >&2; exit 1; fi
DISPLAY=$(cat "$state/display")
export DISPLAY
# Wine's own COM links come back when its device manager starts: keep only the ports that tests made.
for link in "$WINEPREFIX"/dosdevices/com[0-9]*; do
  [ -L "$link" ] || continue
  case "$(readlink "$link")" in /dev/ttyS*|/dev/ttyUSB*|/dev/ttyACM*) rm -f "$link" ;; esac
done
exec wine "$@"
