#!/usr/bin/env bash
# e2e_test.sh STATE_DIR SIMULATOR DRIVER.exe STATION.exe ARTEFACTS_DIR: end-to-end tests of station.exe under
# Wine. The radio module simulator serves two modules whose pseudo-terminals are linked as COM21 and COM22 in
# the Wine fixture's prefix; the driver starts the stations (each in a fresh working directory), drives them
# and checks what they show and write. The pictures it takes are converted to PNG in ARTEFACTS_DIR.
set -u
state=${1:?state directory}
simulator=${2:?module simulator}
driver=${3:?driver executable}
station=${4:?station.exe}
artefacts=${5:?artefacts directory}
here=$(cd "$(dirname "$0")" && pwd)
dosdevices="$state/prefix/dosdevices"
[ -d "$dosdevices" ] || { echo "the wine fixture is not set up ($state)"; exit 1; }

work=$(mktemp -d)
mkdir -p "$work/stations" "$work/pictures" "$artefacts"
"$simulator" --link "$dosdevices/com21" --link "$dosdevices/com22" --pty-file "$work/ptys" \
  --stats "$work/stats" --log "$work/simulator.log" &
simulator_pid=$!
for _ in $(seq 1 100); do [ -f "$work/ptys" ] && break; sleep 0.1; done
if [ ! -f "$work/ptys" ]; then
  echo "the module simulator did not start"; kill "$simulator_pid" 2>/dev/null; rm -rf "$work"; exit 1
fi

STATION_EXE="$station" E2E_WORK="$work/stations" E2E_ARTEFACTS="$work/pictures" \
  bash "$here/../wine/wine-run.sh" "$state" "$driver"
status=$?

kill -TERM "$simulator_pid" 2>/dev/null
wait "$simulator_pid" 2>/dev/null
for bmp in "$work"/pictures/*.bmp; do
  [ -f "$bmp" ] || continue
  name=$(basename "$bmp" .bmp)
  if command -v convert >/dev/null 2>&1; then
    convert "$bmp" "$artefacts/$name.png" || cp "$bmp" "$artefacts/"
  else
    cp "$bmp" "$artefacts/"
  fi
done
echo "--- module simulator counters"
cat "$work/stats" 2>/dev/null
if [ $status -ne 0 ]; then
  echo "--- module simulator log (end)"
  tail -n 40 "$work/simulator.log"
fi
rm -rf "$work"
exit $status
