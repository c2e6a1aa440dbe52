#!/usr/bin/env bash
# wine_com_test.sh STATE_DIR SIMULATOR TEST.exe: runs a Windows test against the radio module simulator. Two
# factory modules are started; their pseudo-terminals are linked as COM21 and COM22 in the Wine fixture's
# prefix and named to the test in STATION_TEST_COM and STATION_TEST_COM2. The simulator's counters must show
# what the test did: a read on COM21, and on COM22 the automatic check (one write that moved it to 9600 baud).
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

STATION_TEST_COM=21 STATION_TEST_COM2=22 bash "$wine_scripts/wine-run.sh" "$state" "$exe"
status=$?

kill -TERM "$simulator_pid" 2>/dev/null
wait "$simulator_pid" 2>/dev/null
echo "--- module simulator"
cat "$work/simulator.log"
stat() { sed -n "s/^$1=//p" "$work/stats"; }
check() {
  if [ "$(stat "$1")" != "$2" ]; then echo "simulator: $1 is '$(stat "$1")', expected '$2'"; status=1; fi
}
check m1.write_commands 0
check m1.air_sent 0
check m2.write_commands 1
check m2.serial_baud 9600
check m2.spoiled_in 0
check m2.air_sent 0
if [ "$(stat m1.read_commands)" -lt 1 ]; then echo "simulator: no read on COM21"; status=1; fi
rm -rf "$work"
exit $status
