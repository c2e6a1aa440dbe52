#!/usr/bin/env bash
# wine_extras_test.sh STATE_DIR SIMULATOR TEST.exe: runs the Windows tests of the module window, speech, help,
# colour buttons and screen capture. Two factory modules of the simulator are linked as COM21 (the module
# window's) and COM22 (the automatic check's) in the Wine prefix of STATE_DIR, and COM23 is a line that gives
# back what it is sent (socat). Afterwards the simulator's store must hold what the module window wrote (Net
# ID 77, power 5, 9600 baud), and the capture must decode with djpeg to the size of the test display.
set -u
state=${1:?state directory}
simulator=${2:?module simulator}
exe=${3:?test executable}
here=$(cd "$(dirname "$0")" && pwd)
wine_scripts="$here/../wine"
dosdevices="$state/prefix/dosdevices"
[ -d "$dosdevices" ] || { echo "the wine fixture is not set up ($state)"; exit 1; }

work=$(mktemp -d)
"$simulator" --link "$dosdevices/com21" --link "$dosdevices/com22" --pty-file "$work/ptys" \
  --stats "$work/stats" --log "$work/simulator.log" &
simulator_pid=$!
for _ in $(seq 1 100); do [ -f "$work/ptys" ] && break; sleep 0.1; done
if [ ! -f "$work/ptys" ]; then
  echo "the module simulator did not start"; kill "$simulator_pid" 2>/dev/null; rm -rf "$work"; exit 1
fi

# COM23: a line that gives back what it is sent (no module on it).
socat PTY,link="$dosdevices/com23",raw,echo=0 EXEC:cat &
echo_pid=$!
for _ in $(seq 1 100); do [ -e "$dosdevices/com23" ] && break; sleep 0.1; done

mkdir -p "$work/capture"
STATION_TEST_COM=21 STATION_TEST_COM2=22 STATION_TEST_COM_ECHO=23 STATION_CAPTURE_DIR="Z:$work/capture" \
  bash "$wine_scripts/wine-run.sh" "$state" "$exe"
status=$?
kill -TERM "$echo_pid" 2>/dev/null
wait "$echo_pid" 2>/dev/null

kill -TERM "$simulator_pid" 2>/dev/null
wait "$simulator_pid" 2>/dev/null
echo "--- module simulator"
cat "$work/simulator.log"
stat() { sed -n "s/^$1=//p" "$work/stats"; }
check() {
  if [ "$(stat "$1")" != "$2" ]; then echo "simulator: $1 is '$(stat "$1")', expected '$2'"; status=1; fi
}
# COM21: speed 04, parity 00, 434 MHz (6C8012), SF 1024 (0A), mode 00, 125 kHz (07), Node ID 0000, Net ID 77
# (4D), power position 5.
check m1.parameters 04006C80120A000700004D05
check m1.write_commands 1
check m1.serial_baud 9600
check m2.write_commands 1
check m2.serial_baud 9600

echo "--- screen capture"
captures=("$work"/capture/SCREEN/Screen*.JPG)
if [ ! -f "${captures[0]}" ]; then
  echo "no capture in $work/capture/SCREEN"; status=1
else
  ls -l "${captures[@]}"
  size=$(djpeg -pnm "${captures[0]}" | head -c 64 | sed -n 2p)
  display_size=$(DISPLAY=$(cat "$state/display") xdpyinfo 2>/dev/null | sed -n 's/.*dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
  echo "djpeg: $size; display: $display_size"
  if [ -z "$size" ] || [ "$size" != "$display_size" ]; then echo "the capture is not the screen's size"; status=1; fi
  if [ -n "${STATION_ARTEFACT_DIR:-}" ]; then mkdir -p "$STATION_ARTEFACT_DIR" && cp "${captures[0]}" "$STATION_ARTEFACT_DIR/capture.jpg"; fi
fi
rm -rf "$work"
exit $status
