#!/usr/bin/env bash
# Builds the station program and starts it.
#
# On Windows (a MSYS2 or Git Bash shell) the program is simply build/windows/station/station.exe: this script
# builds it and starts it.
#
# On Linux it builds station.exe with mingw-w64 and runs it under Wine, with no radio: the radio module
# simulator serves two simulated DRF1278DM modules whose serial ports appear as COM5 and COM6 in a Wine prefix
# of this checkout (build/windows/run-state). Two stations start, "A" on COM5 and "B" on COM6, each in a
# working directory of its own (build/windows/run-state/station-A and station-B, where their parameter files,
# reports and received files stay), with the call signs F1AAA and F2BBB, side by side on the screen. The two
# modules start on the settings the station programs into a module (434 MHz, spreading factor 1024, 125 kHz,
# Net ID 0, at 1200 baud) and keep whatever the stations program into them later, line speed included, in
# run-state/modules.state, as real modules keep their settings. Type a text in A's upper window and press
# Escape: B shows it. Escape again returns A to reception. For AUTEX, see README.md. The simulator stops when
# both stations have ended.
#   STATIONS=1   starts station A only
#   JOBS         parallel build jobs (default: number of processors)
set -eu
cd "$(dirname "$0")/.."
root=$PWD
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 4)}

case "$(uname -s)" in
MINGW* | MSYS* | CYGWIN*)
  cmake -S . -B build/windows -G "Unix Makefiles" -DSTATION_BUILD_TESTS=OFF -DSTATION_BUILD_BENCH=OFF \
    -DCMAKE_EXE_LINKER_FLAGS="-static -static-libgcc -static-libstdc++" >/dev/null
  cmake --build build/windows -j "$JOBS" --target station
  exec build/windows/station/station.exe
  ;;
esac

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$JOBS" --target station module_simulator_host
help_pages=("$root/build/windows/station/HELP_VORNATEL.HTM" "$root/build/windows/station/AIDE_VORNATEL.HTM")

state="$root/build/windows/run-state"
exe="$root/build/windows/station/station.exe"
simulator="$root/build/windows/tools/module_simulator/module_simulator"
export WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
mkdir -p "$state"

pids=()
# On the way out (both stations ended, or the script interrupted): the stations still running in this
# checkout's prefix, then the simulator and the private display.
cleanup() {
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

# A display: the current one, or a private Xvfb when there is none (then nothing is seen, but it runs), wide
# enough for the two stations side by side in AUTEX mode.
if [ -z "${DISPLAY:-}" ]; then
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 2048x1152x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
  pids+=($!)
  export DISPLAY=":$n"
  sleep 1
  echo "run: no display; the stations run on a private Xvfb display $DISPLAY"
fi

if [ ! -d "$WINEPREFIX" ]; then
  echo "run: making the Wine prefix (once)"
  wineboot -i >"$state/wineboot.log" 2>&1
  wineserver -w
fi
# The fonts the windows name, with their metrics.
bash "$root/scripts/wine-fonts.sh" "$WINEPREFIX"
# Only the simulator's ports: COM5 and COM6.
rm -f "$WINEPREFIX"/dosdevices/com[0-9]* "$state/ptys"
# Both modules start on the settings the station programs (so that a station whose "Transceiver" menu says
# DRF1278DM finds its module right and leaves it alone) and keep what they are programmed with afterwards.
# P0 01: 1200 baud, the stations' standard speed; 6C8012: 434.0000 MHz; 0A: spreading factor 1024; 07: 125 kHz.
programmed=01006C80120A000700000003
"$simulator" --link "$WINEPREFIX/dosdevices/com5" --link "$WINEPREFIX/dosdevices/com6" \
  --params "$programmed" --params "$programmed" --state "$state/modules.state" \
  --pty-file "$state/ptys" --log "$state/simulator.log" &
pids+=($!)
for _ in $(seq 1 100); do [ -f "$state/ptys" ] && break; sleep 0.1; done

# Byte 252 of the parameter image names the transceiver's port (5 = COM5, 6 = COM6); bytes 76-79 hold the
# window's left and top edges (two bytes each: v div 100 + 110, v mod 100 + 110). A station that has no
# parameter file yet writes the standard one at its first start; its port is then put in it. Its place is
# put in it at every start: A at the left edge, B beside it (the width of a station in AUTEX mode, 1014
# pixels, further right), or as far right as the screen lets it stay whole.
poke() { printf "\\$(printf '%03o' "$3")" | dd of="$1" bs=1 seek=$(($2 - 1)) conv=notrunc status=none; }
prepare() {
  local dir=$1 code=$2 left=$3 top=$4 call=$5
  mkdir -p "$dir"
  [ -f "$dir/CONF_COM.SER" ] && return 0
  (cd "$dir" && exec wine "$exe") >/dev/null 2>&1 &
  local first=$!
  for _ in $(seq 1 300); do [ -s "$dir/CONF_COM.SER" ] && break; sleep 0.1; done
  sleep 0.5
  kill "$first" 2>/dev/null || true
  wait "$first" 2>/dev/null || true
  if [ "$(stat -c %s "$dir/CONF_COM.SER" 2>/dev/null || echo 0)" = 945 ]; then
    poke "$dir/CONF_COM.SER" 252 "$code"
  fi
  # The free texts: an empty beacon, the AUTEX call sign, the various information and the two sequences.
  printf '\r\n%s\r\nSTATION %s\r\nQRZ?\r\n73 de %s\r\n' "$call" "$call" "$call" >"$dir/CONFSTRINGS_COM.TXT"
}
place() {
  local dir=$1 left=$2 top=$3
  [ "$(stat -c %s "$dir/CONF_COM.SER" 2>/dev/null || echo 0)" = 945 ] || return 0
  poke "$dir/CONF_COM.SER" 76 $((left / 100 + 110))
  poke "$dir/CONF_COM.SER" 77 $((left % 100 + 110))
  poke "$dir/CONF_COM.SER" 78 $((top / 100 + 110))
  poke "$dir/CONF_COM.SER" 79 $((top % 100 + 110))
}
# The help pages in each station's directory, where its Help menu looks first.
pages() { cp -f "${help_pages[@]}" "$1/"; }
autex_width=1014
screen_width=$(xdpyinfo 2>/dev/null | sed -n 's/^ *dimensions: *\([0-9]*\)x.*/\1/p' | head -n 1)
screen_width=${screen_width:-2048}
b_left=$((screen_width - autex_width))
[ "$b_left" -gt "$autex_width" ] && b_left=$autex_width
[ "$b_left" -lt 0 ] && b_left=0

prepare "$state/station-A" 5 0 0 F1AAA
place "$state/station-A" 0 0
pages "$state/station-A"
(cd "$state/station-A" && exec wine "$exe") &
a=$!
b=""
if [ "${STATIONS:-2}" != 1 ]; then
  prepare "$state/station-B" 6 "$b_left" 0 F2BBB
  place "$state/station-B" "$b_left" 0
  pages "$state/station-B"
  (cd "$state/station-B" && exec wine "$exe") &
  b=$!
fi
echo "run: station A on COM5${b:+, station B on COM6}; simulator log in $state/simulator.log"
echo "run: type in A's upper window and press Escape; B shows the text. Quit saves each station's settings."
echo "run: AUTEX: both stations in AUTEX mode, A \"Start the meeting\", B \"Enter\" once its S1 panel shows \"CQ de F1AAA\" (see README.md)."
wait $a ${b:+$b} || true
