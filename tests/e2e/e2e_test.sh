#!/usr/bin/env bash
# e2e_test.sh STATE_DIR SIMULATOR DRIVER.exe STATION.exe ARTEFACTS_DIR: end-to-end tests of station.exe under
# Wine. The radio module simulator serves two modules whose pseudo-terminals are linked as COM21 and COM22 in
# the Wine fixture's prefix, on a clean channel; a second simulator serves COM23 and COM24 on a channel that
# alters received bytes (the AUTEX sessions); a third serves COM25 and COM26 on a clean channel and is killed
# and started again, by its process id, when the driver asks for it through files in the control directory
# ("kill" -> "killed", "start" -> "started"). The driver starts the stations (each in a fresh working
# directory), drives them and checks what they show and write. A fourth serves COM27 and COM28 as
# scripts/run.sh serves its stations (both modules on the stations' settings, kept in a state file across
# runs), started and stopped on request ("kept-start" -> "kept-started", "kept-kill" -> "kept-killed"). The
# pictures it takes are converted to PNG in ARTEFACTS_DIR.
# E2E_FILTER (a GoogleTest filter) runs only some of the tests; E2E_GROUP then names the run (ctest runs the
# groups side by side, each in a Wine fixture of its own), and E2E_NOISY=1 says that the group holds AUTEX
# sessions, which must meet altered bytes (as a run of every test must).
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
group=${E2E_GROUP:-all}
# The pictures of this group's earlier run go (the list it left): only this run's are kept. Other groups'
# pictures stay, they may be in the making.
if [ -f "$artefacts/.e2e-$group.list" ]; then
  while IFS= read -r name; do rm -f "$artefacts/$name"; done <"$artefacts/.e2e-$group.list"
fi
rm -rf "$artefacts/.e2e-$group.list" "$artefacts/e2e-failed-run-$group"
"$simulator" --link "$dosdevices/com21" --link "$dosdevices/com22" --pty-file "$work/ptys" \
  --stats "$work/stats" --log "$work/simulator.log" &
simulator_pid=$!
"$simulator" --link "$dosdevices/com23" --link "$dosdevices/com24" --pty-file "$work/ptys-noisy" \
  --seed 7 --error-rate 0.005 --stats "$work/stats-noisy" --log "$work/simulator-noisy.log" &
noisy_pid=$!
# The third simulator, owned by a controller that kills it and starts it again on request.
control="$work/control"
mkdir -p "$control"
start_lost() {
  rm -f "$work/ptys-lost"
  "$simulator" --link "$dosdevices/com25" --link "$dosdevices/com26" --pty-file "$work/ptys-lost" \
    --log "$work/simulator-lost.log" &
  echo $! >"$control/pid"
  for _ in $(seq 1 100); do [ -f "$work/ptys-lost" ] && break; sleep 0.1; done
}
# The fourth, as scripts/run.sh starts its modules (the driver may write the state file first).
start_kept() {
  rm -f "$work/ptys-kept"
  "$simulator" --link "$dosdevices/com27" --link "$dosdevices/com28" \
    --params 01006C80120A000700000003 --params 01006C80120A000700000003 --state "$control/kept.state" \
    --pty-file "$work/ptys-kept" --log "$work/simulator-kept.log" &
  echo $! >"$control/kept-pid"
  for _ in $(seq 1 100); do [ -f "$work/ptys-kept" ] && break; sleep 0.1; done
}
(
  start_lost
  while [ ! -f "$control/quit" ]; do
    if [ -f "$control/kept-start" ]; then
      rm -f "$control/kept-start"
      start_kept
      touch "$control/kept-started"
    fi
    if [ -f "$control/kept-kill" ]; then
      rm -f "$control/kept-kill"
      pid=$(cat "$control/kept-pid")
      kill -TERM "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      touch "$control/kept-killed"
    fi
    if [ -f "$control/kill" ]; then
      rm -f "$control/kill"
      pid=$(cat "$control/pid")
      kill -KILL "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      echo "killed $pid" >>"$work/simulator-lost.log"
      touch "$control/killed"
    fi
    if [ -f "$control/start" ]; then
      rm -f "$control/start"
      start_lost
      touch "$control/started"
    fi
    sleep 0.1
  done
  kill -TERM "$(cat "$control/pid")" 2>/dev/null
  [ -f "$control/kept-pid" ] && kill -TERM "$(cat "$control/kept-pid")" 2>/dev/null
  wait
) &
controller_pid=$!
for _ in $(seq 1 100); do [ -f "$work/ptys" ] && [ -f "$work/ptys-noisy" ] && [ -f "$work/ptys-lost" ] && break; sleep 0.1; done
if [ ! -f "$work/ptys" ] || [ ! -f "$work/ptys-noisy" ]; then
  echo "the module simulators did not start"
  touch "$control/quit"
  kill "$simulator_pid" "$noisy_pid" 2>/dev/null
  wait "$controller_pid" 2>/dev/null
  rm -rf "$work"
  exit 1
fi

STATION_EXE="$station" E2E_WORK="$work/stations" E2E_ARTEFACTS="$work/pictures" E2E_CONTROL="$control" \
  bash "$here/../wine/wine-run.sh" "$state" "$driver" ${E2E_FILTER:+--gtest_filter="$E2E_FILTER"}
status=$?

touch "$control/quit"
kill -TERM "$simulator_pid" "$noisy_pid" 2>/dev/null
wait "$simulator_pid" "$noisy_pid" "$controller_pid" 2>/dev/null
for bmp in "$work"/pictures/*.bmp; do
  [ -f "$bmp" ] || continue
  name=$(basename "$bmp" .bmp)
  if command -v convert >/dev/null 2>&1; then
    if convert "$bmp" "$artefacts/$name.png"; then echo "$name.png" >>"$artefacts/.e2e-$group.list"; continue; fi
  fi
  cp "$bmp" "$artefacts/" && echo "$name.bmp" >>"$artefacts/.e2e-$group.list"
done
echo "--- module simulator counters"
cat "$work/stats" 2>/dev/null
echo "--- noisy module simulator counters"
cat "$work/stats-noisy" 2>/dev/null
# The AUTEX sessions went through altered bytes.
altered=$(sed -n 's/^m[0-9]*\.errors=//p' "$work/stats-noisy" 2>/dev/null | awk '{s += $1} END {print s + 0}')
echo "bytes altered on the AUTEX channel: $altered"
# (A filtered run may leave the AUTEX sessions out.)
if [ $status -eq 0 ] && [ "${altered:-0}" -eq 0 ] && { [ -z "${E2E_FILTER:-}" ] || [ "${E2E_NOISY:-0}" = 1 ]; }; then
  echo "the AUTEX sessions met no byte error"
  status=1
fi
if [ $status -ne 0 ]; then
  echo "--- module simulator logs (end)"
  tail -n 40 "$work/simulator.log"
  tail -n 40 "$work/simulator-noisy.log"
  tail -n 40 "$work/simulator-lost.log"
  tail -n 40 "$work/simulator-kept.log" 2>/dev/null
fi
# After a failure the stations' working directories and the simulators' logs are kept beside the pictures.
if [ $status -ne 0 ]; then
  mkdir -p "$artefacts/e2e-failed-run-$group"
  cp -r "$work/stations" "$work"/simulator*.log "$artefacts/e2e-failed-run-$group/" 2>/dev/null
fi
rm -rf "$work"
exit $status
