#!/usr/bin/env bash
# The CPU that station.exe costs at rest, skinned (the program's default skin) against plain (no skin), measured
# from outside: the Linux processes are read from /proc (utime + stime) over a window of N seconds that starts a
# settling time after the station was started. Besides the station itself, what it costs the display's other
# processes over the same window: the X server, the prefix's wineserver, and the window manager and compositing
# manager when they run (the drawing, the messages and the window-manager traffic that the station causes); the
# whole cost is their sum. Both kinds start from the same parameter file but for its skin setting, with no serial
# port to open. Each station is pinned to one CPU (taskset); the two kinds alternate within each round, and each
# line gives the machine's load (uptime) as the window ended, so that a noisy shared machine shows in the
# numbers. Windows build, run by hand:
#   bench/station_idle_cpu.sh [rounds (3)] [seconds (30)]
# Environment: STATION_EXE (another build's station.exe to measure), BENCH_CPU (the CPU to pin to; default the
# last one), SETTLE (seconds after the start before the window, default 12), WINDOW_MANAGER=1 (openbox on the
# display, which Wine hands its windows to), COMPOSITOR=1 (xcompmgr on the display: the skinned form then fades in
# and has its border window). The bench has a fixture of its own per kind of display, build/windows/bench-idle
# (bare), bench-idle-wm, bench-idle-composited, bench-idle-wm-composited (a Wine prefix and an Xvfb), made at the
# first run and stopped at the end.
set -u
# Under sh, bash's own syntax would stop it, halfway or with a bare syntax error: it says so before anything.
[ -n "${BASH_VERSION:-}" ] || { echo "station_idle_cpu: this script needs bash: start it as bench/station_idle_cpu.sh (or bash bench/station_idle_cpu.sh)" >&2; exit 2; }
cd "$(dirname "$0")/.."
root=$PWD
rounds=${1:-3}
seconds=${2:-30}
settle=${SETTLE:-12}
cpu=${BENCH_CPU:-$(($(nproc) - 1))}
exe=${STATION_EXE:-$root/build/windows/station/station.exe}
# The station's process by its command name (the program's file name, cut to the 15 characters Linux keeps).
exe_name=$(basename "$exe" | cut -c1-15)
state="$root/build/windows/bench-idle"
[ "${WINDOW_MANAGER:-0}" = 1 ] && state="$state-wm"
[ "${COMPOSITOR:-0}" = 1 ] && state="$state-composited"
[ -f "$exe" ] || { echo "build station.exe first (cmake --build --preset windows --target station)" >&2; exit 1; }
. tests/wine/wine-lib.sh
hz=$(getconf CLK_TCK)

if [ ! -f "$state/template/system.reg" ]; then
  bash tests/wine/wine-fixture.sh setup "$state" >/dev/null || exit 1
  # With a window manager, Wine hands it the station's windows (the fixture's prefix keeps them from one).
  [ "${WINDOW_MANAGER:-0}" = 1 ] && sed -i '/^"Managed"="N"$/d; /^"Decorated"="N"$/d' "$state/prefix/user.reg"
else
  wine_start_xvfb "$state" || exit 1
fi
export WINEPREFIX="$state/prefix" DISPLAY
DISPLAY=$(cat "$state/display")
[ "${WINDOW_MANAGER:-0}" = 1 ] && { wine_start_window_manager "$state" || exit 1; }
[ "${COMPOSITOR:-0}" = 1 ] && { wine_start_compositor "$state" || exit 1; }
trap 'wine_stop "$state"' EXIT

# CPU ticks used so far by a process (0 when it is gone).
ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
# The process of this prefix whose command name matches $1.
prefix_process() {
  local p
  for p in $(pgrep -x "$1"); do
    tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$p"; return; }
  done
}
start_station() {
  # Wine's own COM links come back when its device manager starts: no port for either kind.
  local link
  for link in "$WINEPREFIX"/dosdevices/com[0-9]*; do [ -L "$link" ] && rm -f "$link"; done
  (cd "$1" && exec taskset -c "$cpu" wine "$exe" >/dev/null 2>&1) &
  local pid=""
  for _ in $(seq 1 300); do
    pid=$(prefix_process "$exe_name")
    [ -n "$pid" ] && break
    sleep 0.1
  done
  echo "$pid"
}
stop_station() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
}

# One parameter file, written by a first start, for both kinds: its third byte is the skin setting (1: none, 2:
# the default skin).
if [ ! -f "$state/CONF_COM.SER" ]; then
  mkdir -p "$state/first"
  start_station "$state/first" >/dev/null
  for _ in $(seq 1 300); do [ -f "$state/first/CONF_COM.SER" ] && break; sleep 0.1; done
  sleep 3
  stop_station
  cp "$state/first/CONF_COM.SER" "$state/CONF_COM.SER" || exit 1
fi
for kind in plain skinned; do
  dir="$state/$kind"
  mkdir -p "$dir"
  cp "$state/CONF_COM.SER" "$dir/CONF_COM.SER"
  setting=$([ $kind = plain ] && echo 1 || echo 2)
  printf "\\x0$setting" | dd of="$dir/CONF_COM.SER" bs=1 seek=2 conv=notrunc status=none
done

# The display's processes besides the station (a pid file of the fixture, or the prefix's wineserver).
pid_of() { [ -f "$state/$1.pid" ] && cat "$state/$1.pid" || echo 0; }
percent() { awk -v t="$1" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * t / hz / s }'; }
# The middle value; of an even count, the mean of the two middle ones.
median() {
  printf "%s\n" "$@" | sort -n |
    awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
declare -a ratios=() wholes=()
echo "idle CPU over $seconds s, $settle s after the start, station pinned to CPU $cpu (% of one CPU)"
for r in $(seq 1 "$rounds"); do
  order="plain skinned"
  [ $((r % 2)) = 0 ] && order="skinned plain"
  declare -A station=() whole=()
  for kind in $order; do
    pid=$(start_station "$state/$kind")
    [ -n "$pid" ] || { echo "station.exe did not start" >&2; exit 1; }
    sleep "$settle"
    server=$(prefix_process "wineserver(64)?")
    others="$(pid_of xvfb) ${server:-0} $(pid_of window-manager) $(pid_of compositor)"
    s0=$(ticks "$pid")
    declare -a o0=()
    for o in $others; do o0+=("$(ticks "$o")"); done
    sleep "$seconds"
    s1=$(ticks "$pid")
    load=$(uptime | sed 's/.*load average: //')
    line=""
    sum=$((s1 - s0))
    i=0
    for o in $others; do
      d=$(($(ticks "$o") - ${o0[$i]}))
      sum=$((sum + d))
      line="$line $(printf "%6s" "$(percent "$d")")"
      i=$((i + 1))
    done
    station[$kind]=$((s1 - s0))
    whole[$kind]=$sum
    printf "round %d %-7s station %6s  X server, wineserver, manager, compositor%s  whole %6s  load %s\n" "$r" \
      "$kind" "$(percent $((s1 - s0)))" "$line" "$(percent "$sum")" "$load"
    stop_station
  done
  ratios+=("$(ratio "${station[skinned]}" "${station[plain]}")")
  wholes+=("$(ratio "${whole[skinned]}" "${whole[plain]}")")
  echo "round $r skinned / plain: station ${ratios[-1]}, whole ${wholes[-1]}"
done
echo "idle CPU skinned / plain, median of $rounds rounds: station $(median "${ratios[@]}"), whole $(median "${wholes[@]}")" \
  "(load $(uptime | sed 's/.*load average: //'))"
