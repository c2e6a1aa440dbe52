#!/usr/bin/env bash
# run_script_test.sh SOURCE_DIR: scripts/run.sh (and test.sh's usage) in a copy of its checkout, with Wine,
# cmake, the set-up and the module simulator replaced by small fakes (a fake station runs until it is ended or
# finds a QUIT file in its directory). It checks the script's start and stop as an operator meets them: one
# run at a time, --stop and what it says, the modules' line speed at a start, and the script's exit codes.
set -u
src=${1:?source directory}
tmp=$(mktemp -d)
fails=0
trap 'STATION_RUN= bash "$tmp/co/scripts/run.sh" --stop >/dev/null 2>&1; rm -rf "$tmp"' EXIT

check() {  # check WHAT CONDITION...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fails=$((fails + 1)); fi
}
waitfor() {  # waitfor SECONDS CONDITION...
  local t=$(($1 * 10))
  shift
  for _ in $(seq 1 "$t"); do "$@" && return 0; sleep 0.1; done
  return 1
}

co="$tmp/co" fake="$tmp/bin" state="$tmp/co/build/windows/run-state"
mkdir -p "$co/scripts" "$co/build/windows/station" "$co/build/windows/tools/module_simulator" "$fake" "$tmp/log"
cp "$src/scripts/run.sh" "$src/scripts/test.sh" "$src/scripts/busy.sh" "$co/scripts/"
printf '#!/bin/sh\necho run >>"$FAKE_LOG/setup"\n' >"$co/scripts/setup.sh"
printf '#!/bin/sh\n' >"$co/scripts/wine-prefix.sh"
touch "$co/build/windows/station/HELP_VORNATEL.HTM" "$co/build/windows/station/AIDE_VORNATEL.HTM"
for tool in xprop dillo; do printf '#!/bin/sh\nexit 0\n' >"$fake/$tool"; done
printf '#!/bin/sh\n[ "$DISPLAY" != :dead ]\n' >"$fake/xdpyinfo"
# The VNC server listens on its port.
printf '#!/bin/bash\nwhile [ $# -gt 0 ]; do [ "$1" = -rfbport ] && port=$2; shift; done
exec socat TCP-LISTEN:"$port",bind=127.0.0.1,reuseaddr,fork OPEN:/dev/null\n' >"$fake/x11vnc"
# The build: with FAKE_BUILD_HOLD, a compiler that runs until ended.
cp "$(command -v sleep)" "$fake/cc1plus"
printf '#!/bin/bash\necho "$*" >>"$FAKE_LOG/cmake"\n[ -n "${FAKE_BUILD_HOLD:-}" ] || exit 0
cc1plus 300 & echo "$$ $!" >"$FAKE_LOG/build"; wait\n' >"$fake/cmake"
# A prefix gets Wine's programs last; with FAKE_WINEBOOT_HOLD its making stops short of them until ended.
printf '#!/bin/bash\nmkdir -p "$WINEPREFIX/dosdevices"\n[ -n "${FAKE_WINEBOOT_HOLD:-}" ] && touch "$FAKE_LOG/wineboot" && sleep 300
touch "$WINEPREFIX/programs"\n' >"$fake/wineboot"
# wineserver -k ends the fake stations, as the real one ends the prefix's programs; with FAKE_END_HOLD it
# then takes half a second (marked in "ending"), as the real one does on a loaded machine.
cat >"$fake/wineserver" <<'EOF'
#!/bin/bash
[ "${1:-}" = -k ] && for f in "$FAKE_LOG"/station.*; do [ -f "$f" ] && kill -TERM "${f##*.}" 2>/dev/null; done
[ "${1:-}" = -k ] && [ -n "${FAKE_END_HOLD:-}" ] && touch "$FAKE_LOG/ending" && sleep 0.5
# With FAKE_END_STUCK, -k never returns (a wineserver that does not answer).
[ "${1:-}" = -k ] && [ -n "${FAKE_END_STUCK:-}" ] && echo $$ >"$FAKE_LOG/stuck" && exec sleep 300
exit 0
EOF
printf '#!/bin/sh\necho "$*" >>"$FAKE_LOG/ctest"\n' >"$fake/ctest"
# A station: exits with $FAKE_EXIT at once when set; otherwise runs (with a help viewer's server left in the
# background, detached) until ended (exit code 0, as under Wine), until it finds QUIT in its directory, or until
# its private X display goes (exit code 1, said as Wine says it). Wine's other programs fail with 53 in a prefix
# without them.
cat >"$fake/wine" <<'EOF'
#!/bin/bash
case "${1:-}" in *station.exe) ;; *) [ -f "$WINEPREFIX/programs" ] || exit 53; exit 0 ;; esac
[ -n "${FAKE_EXIT:-}" ] && exit "$FAKE_EXIT"
echo "$PWD" >"$FAKE_LOG/station.$$"
setsid sleep 300 </dev/null >/dev/null 2>&1 &
echo $! >"$FAKE_LOG/helper.$$"
trap 'rm -f "$FAKE_LOG/station.$$"; exit 0' TERM INT
x=/tmp/.X11-unix/X${DISPLAY#:}
while [ ! -f QUIT ]; do
  [ -e "$x" ] || [ "$DISPLAY" = :fake ] || { echo "X connection to $DISPLAY broken"; rm "$FAKE_LOG/station.$$"; exit 1; }
  sleep 0.1
done
rm -f QUIT "$FAKE_LOG/station.$$"
EOF
# The simulator: says which module state it started on, makes its port list and runs until ended.
cat >"$co/build/windows/tools/module_simulator/module_simulator" <<'EOF'
#!/bin/bash
while [ $# -gt 0 ]; do
  case "$1" in
  --state) cp "$2" "$FAKE_LOG/simulator-state.$$" 2>/dev/null; shift 2 ;;
  --pty-file) ptys=$2; shift 2 ;;
  *) shift ;;
  esac
done
echo started >>"$FAKE_LOG/simulators"
echo /dev/pts/99 >"$ptys"
exec sleep 300
EOF
chmod +x "$fake"/* "$co"/scripts/*.sh "$co/build/windows/tools/module_simulator/module_simulator"
export PATH="$fake:$PATH" FAKE_LOG="$tmp/log" DISPLAY=:fake
unset STATION_RUN VNC_PORT STATIONS

# Stations as a previous run left them: A saved 1200 baud (byte 4 = 1), B saved 9600 (9), and the modules'
# state has module 1 at 9600 (code 04) and module 2 at 9600.
image() { head -c 945 /dev/zero | tr '\0' '\001' >"$1/CONF_COM.SER"; printf "\\$(printf '%03o' "$2")" |
  dd of="$1/CONF_COM.SER" bs=1 seek=3 conv=notrunc status=none; }
# ... and a prefix whose making was cut short: without Wine's programs.
mkdir -p "$state/station-A" "$state/station-B" "$state/prefix/dosdevices"
image "$state/station-A" 1
image "$state/station-B" 9
printf '# modules\nM1 04006C80120A000700000003\nM2 04006C80120A000700000003\n' >"$state/modules.state"

stations() { ls "$tmp/log"/station.* 2>/dev/null | wc -l; }
two_stations() { [ "$(stations)" = 2 ]; }
no_station() { [ "$(stations)" = 0 ]; }

bash "$co/scripts/run.sh" >"$tmp/first.out" 2>&1 &
first=$!
check "a run starts two stations" waitfor 30 two_stations
check "module 1 is put back at station A's 1200 baud, module 2 stays at 9600" \
  grep -qx 'M1 01006C80120A000700000003' "$tmp"/log/simulator-state.*
grep -qx 'M2 04006C80120A000700000003' "$tmp"/log/simulator-state.* || check "module 2 untouched" false
check "the start says that module 1 was put back at 1200 baud" \
  grep -q "station A saved the line speed 1200 baud .*the module is put back at 1200 baud" "$tmp/first.out"
check "the unfinished prefix is made again, and said so" grep -q "may be unfinished.*made again" "$tmp/first.out"

# A second start while the first runs.
code=0
timeout 30 bash "$co/scripts/run.sh" >"$tmp/second.out" 2>&1 || code=$?
check "a second start fails" [ $code != 0 ]
check "a second start says the stations run and names --stop" \
  grep -q "already running.*nothing was changed" "$tmp/second.out"
grep -q -- "--stop" "$tmp/second.out" || check "--stop is named" false
check "a second start leaves the first run's stations and simulator alone" \
  eval 'two_stations && [ "$(wc -l <"$tmp/log/simulators")" = 1 ] && kill -0 $first'
code=0
timeout 30 bash "$co/scripts/run.sh" --reset >>"$tmp/second.out" 2>&1 || code=$?
check "--reset while a run is on changes nothing" eval '[ $code != 0 ] && [ -f "$state/modules.state" ] && two_stations'

# B quits (and saves) by itself; then --stop ends A: only A is said to be ended by --stop.
touch "$state/station-B/QUIT"
waitfor 10 eval '[ "$(stations)" = 1 ]'
sleep 0.5
bash "$co/scripts/run.sh" --stop >"$tmp/stop.out" 2>&1
check "--stop ends the run, and says so" eval 'waitfor 20 eval "! kill -0 $first 2>/dev/null" && grep -q "are ended" "$tmp/stop.out"'
check "--stop is said of station A" grep -q "station A was ended by scripts/run.sh --stop" "$tmp/first.out"
check "--stop is not said of station B, which had quit" eval '! grep -q "station B was ended" "$tmp/first.out"'
helpers_gone() {
  local f
  for f in "$tmp"/log/helper.*; do kill -0 "$(cat "$f")" 2>/dev/null && return 1; done
  return 0
}
check "--stop ends what the stations left in the background" waitfor 5 helpers_gone
wait $first
check "the first run ends with exit code 0" [ $? = 0 ]

start() {  # start OUT CONDITION...: a run in the background (process $run), once CONDITION holds
  bash "$co/scripts/run.sh" >"$1" 2>&1 &
  run=$!
  shift
  waitfor 20 "$@"
}
ended() { code=0; waitfor 20 eval '! kill -0 $run 2>/dev/null'; wait $run || code=$?; }  # its exit code in $code
ctrl_c() { kill -INT -- -$run; ended; }  # as the terminal sends it, to the run's process group

# --stop during the build ends the build; a start meanwhile says that the run is building.
FAKE_BUILD_HOLD=1 start "$tmp/build.out" test -s "$tmp/log/build"
bash "$co/scripts/run.sh" >"$tmp/second-build.out" 2>&1
check "a start during the build says that a run is building" grep -q "a run of this checkout is building station.exe" "$tmp/second-build.out"
bash "$co/scripts/run.sh" --stop >"$tmp/stop-build.out" 2>&1
ended
check "--stop during the build ends the build and the run (exit code 0), and both say so" eval '[ $code = 0 ] &&
  waitfor 5 eval "! kill -0 $(cat "$tmp/log/build") 2>/dev/null" && grep -q "was building station.exe: it is ended" "$tmp/stop-build.out" &&
  grep -q "ended by scripts/run.sh --stop while building station.exe" "$tmp/build.out"'

# A run killed with kill -9 during its build leaves the build running: a start says so, and --stop ends it.
rm -f "$tmp/log/build"; FAKE_BUILD_HOLD=1 start "$tmp/killed.out" test -s "$tmp/log/build"
kill -KILL $run; ended 2>/dev/null  # (without the shell's "Killed")
code=0; bash "$co/scripts/run.sh" >"$tmp/after-kill.out" 2>&1 || code=$?
bash "$co/scripts/run.sh" --stop >>"$tmp/after-kill.out" 2>&1
check "after a kill -9, a start says what the run left and that --stop ends it, which --stop does" eval '[ $code = 1 ] &&
  grep -q "no run of this checkout is running, but .*: its build: nothing was changed" "$tmp/after-kill.out" &&
  grep -q "what an earlier one had left running is ended: its build$" "$tmp/after-kill.out" &&
  waitfor 5 eval "! kill -0 $(cat "$tmp/log/build") 2>/dev/null"'

# Ctrl-C in the terminal: while the prefix is made, then with the stations on a private display and on the host's.
set -m
rm -rf "$state/prefix"
FAKE_WINEBOOT_HOLD=1 start "$tmp/prefix.out" test -f "$tmp/log/wineboot"
ctrl_c
start "$tmp/after-prefix.out" two_stations
check "Ctrl-C while the prefix is made is said; the next start makes it and starts the stations" eval 'two_stations &&
  grep -q "ended by Ctrl-C while making the Wine prefix: no station was started" "$tmp/prefix.out"'
ctrl_c
n=190
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
for d in "" :fake; do
  if [ -z "$d" ] && ! command -v Xvfb socat >/dev/null; then echo "skipped: no Xvfb or socat for a private display"; continue; fi
  DISPLAY=$d PRIVATE_DISPLAY=:$n STATIONS=${d:+1} start "$tmp/ctrl-c$d.out" eval '[ "$(stations)" = "${STATIONS:-2}" ]'
  ctrl_c
  check "Ctrl-C on display ${d:-:$n}: said once, exit code 130, no X error, nothing left" eval '[ $code = 130 ] &&
    [ "$(grep -c "ended by Ctrl-C, .* settings not saved" "$tmp/ctrl-c$d.out")" = 1 ] && no_station && waitfor 5 helpers_gone &&
    ! grep -q "X connection\|exit code\|Killed" "$tmp/ctrl-c$d.out" && [ ! -e /tmp/.X11-unix/X$n ]'
done
# Signals while the run ends (a second Ctrl-C with a TERM and a third; the login shell's hang-up after the
# kernel's when the terminal is closed) leave its clean-up whole, and the next start starts the stations.
nothing_left() { no_station && ! grep -lzxF "STATION_RUN=$state" /proc/[0-9]*/environ 2>/dev/null | grep -q .; }
command -v Xvfb socat >/dev/null && d="" || d=:fake
for row in "INT|130|Ctrl-C|INT TERM INT" "HUP|129|a HUP signal|HUP"; do
  IFS='|' read -r first exit said more <<<"$row"
  rm -f "$tmp/log/ending"; DISPLAY=$d PRIVATE_DISPLAY=:$n FAKE_END_HOLD=1 start "$tmp/twice.out" two_stations
  kill -$first -- -$run; waitfor 10 test -f "$tmp/log/ending"
  for s in $more; do kill -$s -- -$run; done; ended
  check "$first, then $more during the clean-up: all ended, said once, exit code $exit" eval '[ $code = $exit ] &&
    [ "$(grep -c "ended by" "$tmp/twice.out")" = 1 ] && grep -q "A and B were ended by $said" "$tmp/twice.out" && waitfor 5 nothing_left'
done
check "PRIVATE_DISPLAY names the private display" eval '! command -v Xvfb >/dev/null || grep -q "private display (:$n)" "$tmp/ctrl-c.out"'
check "STATIONS=1 speaks of station A only" eval 'grep -q "station A" "$tmp/ctrl-c:fake.out" && ! grep -qw B "$tmp/ctrl-c:fake.out"'
set +m
# Ctrl-Z, then --stop: the suspended run is ended before --stop returns, and said so. (Its script alone is
# stopped, as it waits for its stations: a job stopped under set -m ended this shell at times.)
start "$tmp/suspended.out" two_stations
kill -TSTP $run; waitfor 5 eval 'ps -o stat= -p $run | grep -q T'
bash "$co/scripts/run.sh" --stop >"$tmp/stop-suspended.out" 2>&1; suspended=$(ps -o stat= -p $run)
kill -CONT $run 2>/dev/null; ended  # (a run left suspended would hold this test)
check "--stop ends a run suspended with Ctrl-Z at once, and says what it ended" eval '[ $code = 0 ] && [ "${suspended#T}" = "$suspended" ] &&
  ! grep -q installation "$tmp/stop-suspended.out" && grep -q "ended by scripts/run.sh --stop" "$tmp/suspended.out"'

# A display that does not answer is said before the build, and nothing starts.
code=0
: >"$tmp/log/cmake"
DISPLAY=:dead timeout 20 bash "$co/scripts/run.sh" >"$tmp/dead.out" 2>&1 || code=$?
check "an unreachable display: exit code 1 and said, no build, no station" eval '[ $code = 1 ] &&
  grep -q "the display :dead cannot be reached" "$tmp/dead.out" && [ ! -s "$tmp/log/cmake" ] && no_station'

# --reset with a display that does not answer: nothing started, nothing forgotten; then a run with --reset
# forgets the stations' settings before it starts them.
code=0
DISPLAY=:dead timeout 20 bash "$co/scripts/run.sh" --reset >"$tmp/dead-reset.out" 2>&1 || code=$?
check "--reset with an unreachable display: exit code 1, nothing was started and nothing forgotten" eval '[ $code = 1 ] &&
  grep -q "nothing was started" "$tmp/dead-reset.out" && [ -f "$state/station-A/CONF_COM.SER" ] && [ -f "$state/modules.state" ]'
bash "$co/scripts/run.sh" --reset >"$tmp/reset.out" 2>&1 &
run=$!
check "--reset forgets the settings and the modules' state, then goes on to make the prefix" eval '
  waitfor 20 grep -q "making the Wine prefix" "$tmp/reset.out" && grep -q "is emptied" "$tmp/reset.out" &&
  [ ! -f "$state/station-A/CONF_COM.SER" ] && [ ! -f "$state/modules.state" ]'
bash "$co/scripts/run.sh" --stop >/dev/null 2>&1; ended
# (The stations' next start finds the settings of a first run again.)
image "$state/station-A" 1
image "$state/station-B" 9

# A wineserver that does not end its programs holds the clean-up 10 seconds at most: what is left is ended by
# process id, the stuck request too.
FAKE_END_STUCK=1 start "$tmp/stuck.out" two_stations
began=$(date +%s)
bash "$co/scripts/run.sh" --stop >"$tmp/stop-stuck.out" 2>&1; ended
check "a wineserver that does not answer: --stop returns within 25 s, the run ends, nothing is left" eval '
  [ $(($(date +%s) - began)) -lt 25 ] && no_station && waitfor 5 nothing_left && waitfor 5 eval "! kill -0 \$(cat "$tmp/log/stuck") 2>/dev/null" &&
  grep -q "did not end its programs within 10 seconds" "$tmp/stuck.out"'
: >"$tmp/log/cmake"

# A VNC_PORT that another program listens on is said before the build, without tunnel lines that cannot work.
if command -v socat >/dev/null; then
  p=$((15900 + $$ % 1000)); socat TCP-LISTEN:$p,bind=127.0.0.1,reuseaddr,fork OPEN:/dev/null & holder=$!
  waitfor 5 eval '(exec 3<>/dev/tcp/127.0.0.1/$p) 2>/dev/null'
  code=0; DISPLAY="" VNC_PORT=$p timeout 20 bash "$co/scripts/run.sh" >"$tmp/vnc-taken.out" 2>&1 || code=$?; kill $holder
  check "a VNC_PORT taken: exit code 1 and said, no tunnel lines, no build, nothing left" eval '[ $code = 1 ] && [ ! -s "$tmp/log/cmake" ] &&
    grep -q "the VNC port $p (VNC_PORT) is taken" "$tmp/vnc-taken.out" && ! grep -q "ssh -N" "$tmp/vnc-taken.out" && nothing_left'
fi

# Usage faults: a usage line, exit code 2, no shell error, nothing done.
: >"$tmp/log/cmake"
for args in "--port" "--stop --reset" "--port /dev/null --stop"; do
  code=0
  bash "$co/scripts/run.sh" $args >"$tmp/usage.out" 2>&1 || code=$?
  check "$args: exit code 2 and a usage line" eval '[ $code = 2 ] && grep -q "^usage: " "$tmp/usage.out" && ! grep -q "line [0-9]" "$tmp/usage.out"'
done
rm -f "$tmp/log/setup"
for script in "$co/scripts/run.sh" "$co/scripts/test.sh" "$src"/scripts/{setup,wine-prefix,wine-fonts}.sh; do
  code=0
  if command -v dash >/dev/null; then dash "$script" >"$tmp/sh.out" 2>&1 || code=$?; fi
  check "under sh: $(basename "$script") says at once that it needs bash" eval '! command -v dash >/dev/null || {
    [ $code = 2 ] && grep -q "needs bash" "$tmp/sh.out" && [ ! -s "$tmp/log/cmake" ] && [ ! -f "$tmp/log/setup" ]; }'
done

# Stations that cannot start: the script's exit code says so.
code=0
FAKE_EXIT=1 bash "$co/scripts/run.sh" >"$tmp/failed.out" 2>&1 || code=$?
check "stations that fail make the script fail" eval '[ $code != 0 ] && grep -q "station A ended with exit code 1" "$tmp/failed.out"'

# test.sh answers --help with its usage, and an unknown argument with an error, and runs nothing.
code=0
timeout 20 bash "$co/scripts/test.sh" --help >"$tmp/test-help.out" 2>&1 || code=$?
check "test.sh --help shows its usage" eval '[ $code = 0 ] && grep -q JOBS "$tmp/test-help.out" &&
  grep -q FUZZ_SECONDS "$tmp/test-help.out" && ! grep -q "^===" "$tmp/test-help.out"'
code=0
timeout 20 bash "$co/scripts/test.sh" --jobs=2 >"$tmp/test-unknown.out" 2>&1 || code=$?
check "test.sh refuses an unknown argument" eval '[ $code = 2 ] && ! grep -q "^===" "$tmp/test-unknown.out"'

# test.sh runs one part, and of it the tests a pattern names.
: >"$tmp/log/cmake"
code=0
timeout 20 bash "$co/scripts/test.sh" windows -R 'skin_forms_win_tests$' >"$tmp/test-part.out" 2>&1 || code=$?
check "test.sh windows -R PATTERN builds and runs the Windows part only, with the pattern" eval '[ $code = 0 ] &&
  ! grep -q "preset native\|preset fuzz" "$tmp/log/cmake" && grep -q "preset windows" "$tmp/log/cmake" &&
  [ "$(cat "$tmp/log/ctest")" = "--preset windows -j $(nproc) --output-on-failure -R skin_forms_win_tests$" ]'

# busy.sh: the loops run beside the command, and are ended when it ends and when the script is ended.
code=0
bash "$co/scripts/busy.sh" -n 3 sh -c 'ps -o pid= --ppid $PPID >"$FAKE_LOG/busy"; exit 3' >"$tmp/busy.out" 2>&1 || code=$?
all_gone() { local p; for p in $(cat "$1"); do kill -0 "$p" 2>/dev/null && return 1; done; return 0; }
check "busy.sh runs the command beside 3 loops, ends them with it, and exits with its code" eval '[ $code = 3 ] &&
  [ "$(wc -l <"$tmp/log/busy")" -ge 4 ] && waitfor 5 all_gone "$tmp/log/busy" && grep -q "ended with code 3" "$tmp/busy.out"'
bash "$co/scripts/busy.sh" -n 3 sh -c 'ps -o pid= --ppid $PPID >"$FAKE_LOG/busy-term"; exec sleep 300' >"$tmp/busy-term.out" 2>&1 &
busy=$!
waitfor 10 test -s "$tmp/log/busy-term"
kill -TERM $busy
code=0; wait $busy || code=$?
check "busy.sh ended by TERM ends its loops and the command (exit code 143)" eval '[ $code = 143 ] &&
  waitfor 5 all_gone "$tmp/log/busy-term" && grep -q "ended by SIGTERM" "$tmp/busy-term.out"'

if [ $fails -gt 0 ]; then
  for f in "$tmp"/*.out; do echo "--- $f"; cat "$f"; done
  exit 1
fi
echo "all checks passed"
