#!/usr/bin/env bash
# The CPU that station.exe uses at rest, skinned (the program's default skin) against plain (no skin), measured
# from outside: the Linux process that Wine runs the station in is read from /proc (utime + stime) over a window
# of N seconds that starts a settling time after the station was started; beside it, the CPU of the display's
# X server and of the prefix's wineserver over the same window (the drawing and the messages that the station
# hands them). Each station is pinned to one CPU (taskset); the two kinds alternate within each round, and each
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
  (cd "$1" && exec taskset -c "$cpu" wine "$exe" >/dev/null 2>&1) &
  local pid=""
  for _ in $(seq 1 300); do
    pid=$(prefix_process station.exe)
    [ -n "$pid" ] && break
    sleep 0.1
  done
  echo "$pid"
}
stop_station() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
}

# A working directory per kind, with the parameter file that a first start writes; its third byte is the skin
# setting (1: none, 2: the default skin).
for kind in plain skinned; do
  dir="$state/$kind"
  if [ ! -f "$dir/CONF_COM.SER" ]; then
    mkdir -p "$dir"
    start_station "$dir" >/dev/null
    for _ in $(seq 1 300); do [ -f "$dir/CONF_COM.SER" ] && break; sleep 0.1; done
    sleep 3
    stop_station
  fi
  setting=$([ $kind = plain ] && echo 1 || echo 2)
  printf "\\x0$setting" | dd of="$dir/CONF_COM.SER" bs=1 seek=2 conv=notrunc status=none
done

percent() { awk -v t="$1" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * t / hz / s }'; }
declare -a ratios=()
echo "idle CPU over $seconds s, $settle s after the start, pinned to CPU $cpu (% of one CPU)"
for r in $(seq 1 "$rounds"); do
  order="plain skinned"
  [ $((r % 2)) = 0 ] && order="skinned plain"
  declare -A station=()
  for kind in $order; do
    pid=$(start_station "$state/$kind")
    [ -n "$pid" ] || { echo "station.exe did not start" >&2; exit 1; }
    sleep "$settle"
    xvfb=$(cat "$state/xvfb.pid")
    server=$(prefix_process "wineserver(64)?")
    s0=$(ticks "$pid") x0=$(ticks "$xvfb") w0=$(ticks "${server:-0}")
    sleep "$seconds"
    s1=$(ticks "$pid") x1=$(ticks "$xvfb") w1=$(ticks "${server:-0}")
    load=$(uptime | sed 's/.*load average: //')
    station[$kind]=$((s1 - s0))
    printf "round %d %-7s station %5s %%  Xvfb %5s %%  wineserver %5s %%  load %s\n" "$r" "$kind" \
      "$(percent $((s1 - s0)))" "$(percent $((x1 - x0)))" "$(percent $((w1 - w0)))" "$load"
    stop_station
  done
  ratio=$(awk -v a="${station[skinned]}" -v b="${station[plain]}" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  ratios+=("$ratio")
  echo "round $r skinned / plain: $ratio"
done
median=$(printf "%s\n" "${ratios[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
echo "idle CPU skinned / plain, median of $rounds rounds: $median (load $(uptime | sed 's/.*load average: //'))"
