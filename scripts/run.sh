#!/usr/bin/env bash
# Builds the station program ("Vornatel", station.exe) and starts it.
#
# On Windows (a MSYS2 or Git Bash shell) the program is simply build/windows/station/station.exe: this script
# builds it and starts it.
#
# On Linux it builds station.exe with mingw-w64 and runs it under Wine, in a Wine prefix of this checkout
# (build/windows/run-state/prefix). With no option, there is no radio: the radio module simulator serves two
# simulated DRF1278DM modules whose serial ports are COM5 and COM6 in the prefix, and two stations start, "A"
# (F1AAA) on COM5 and "B" (F2BBB) on COM6, side by side, each in a working directory of its own
# (build/windows/run-state/station-A and station-B: parameter files, reports, screen captures and received
# files). The two modules start on the settings the station programs into a module (434 MHz, spreading factor
# 1024, 125 kHz, Net ID 0, at 1200 baud) and keep whatever the stations program into them later, line speed
# included, in run-state/modules.state, as real modules keep their settings. The simulator stops when both
# stations have ended. See README.md for ASCII and AUTEX.
#
# One run at a time in a checkout: while a run builds, makes its Wine prefix or has its stations running,
# another start (or --reset) says which and changes nothing; --stop ends it, and also what a run whose script was
# killed left running, which a start names. The script's exit code is not 0 when a station ended with an error
# (one that could not start, say); it is 130 after Ctrl-C, which ends the stations without saving, as --stop
# does, and 129 when its terminal is closed; a second Ctrl-C while it ends does not cut that short.
#
# A station and its simulated module start at the same line speed: a station that moved its module to 9600
# baud and was then ended without saving (Ctrl-C, its close box, --stop) starts again at the speed it saved,
# and its module is put back at that speed first (the script says so).
#
# The screen: where there is a display ($DISPLAY), the stations use it (a display that does not answer, such
# as an ended ssh -X session leaves, is said at once and nothing starts). Where there is none, they get a
# private X display (the first free one from :90) with Wine's own desktop on it (a window in which Wine
# places, moves and focuses its windows as Windows does), and a VNC server on it, reachable from this machine
# only: the script prints what to install and run on your own computer to see it and use it (a VNC viewer,
# through an ssh tunnel).
#
# Options:
#   --port DEVICE    station A on a real radio module plugged in at DEVICE (/dev/ttyUSB0, say) as COM5, and no
#                    simulator (then B does not start unless --port-b is given). Stations on real modules keep
#                    their settings and files apart from the simulated ones, in run-state/station-A-radio and
#                    station-B-radio: a real module that the station moved to 9600 baud leaves the simulated
#                    stations at the line speed of their simulated modules
#   --port-b DEVICE  station B on a real radio module at DEVICE, as COM6
#   --stop           ends the run of this checkout: its stations (without saving: Quit saves) and everything
#                    it started (its build, the Wine prefix it was making, the simulator, the private display
#                    and VNC server, the help viewer and its background programs); the script of that run then
#                    says what --stop ended and returns with exit code 0. It takes no other option
#   --reset          forgets every station's settings and files, the modules' state and the Wine prefix
#                    (build/windows/run-state), then starts as on a first run
# Environment:
#   STATIONS=1       starts station A only
#   JOBS             parallel build jobs (default: number of processors)
#   VNC_PORT         the VNC server's TCP port on a machine without display (default: the first free from 5900);
#                    one that another program listens on is refused
#   PRIVATE_DISPLAY  the private display's number there (:95, say; default: the first free from :90)
set -eu
# Under sh the script would build for minutes, then stop at bash's own syntax: it says so before anything.
if [ -z "${BASH_VERSION:-}" ]; then
  echo "run: this script needs bash: start it as scripts/run.sh (or bash scripts/run.sh)" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
root=$(pwd -P)
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 4)}

case "$(uname -s)" in
MINGW* | MSYS* | CYGWIN*)
  cmake -S . -B build/windows -G "Unix Makefiles" -DSTATION_BUILD_TESTS=OFF -DSTATION_BUILD_BENCH=OFF \
    -DCMAKE_EXE_LINKER_FLAGS="-static -static-libgcc -static-libstdc++" >/dev/null
  cmake --build build/windows -j "$JOBS" --target station
  exec build/windows/station/station.exe
  ;;
esac

usage_error() {
  echo "run: $1" >&2
  echo "usage: scripts/run.sh [--port DEVICE [--port-b DEVICE]] [--reset] | --stop | --help" >&2
  exit 2
}
# The device that follows an option (not another option, nor nothing).
device_of() {
  [ $# -ge 2 ] && [ -n "$2" ] && [ "${2#-}" = "$2" ] || usage_error "$1 needs a device, /dev/ttyUSB0 say"
}
port_a="" port_b="" stop=0 reset=0
while [ $# -gt 0 ]; do
  case "$1" in
  --port) device_of "$@"; port_a=$2; shift 2 ;;
  --port-b) device_of "$@"; port_b=$2; shift 2 ;;
  --stop) stop=1; shift ;;
  --reset) reset=1; shift ;;
  -h | --help) sed -n '2,/^set -eu/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
  *) usage_error "unknown option $1 (see --help)" ;;
  esac
done
[ $stop = 0 ] || [ $reset$port_a$port_b = 0 ] || usage_error "--stop takes no other option (scripts/run.sh --stop, then scripts/run.sh --reset, say)"
[[ ${PRIVATE_DISPLAY:-:90} =~ ^:?[0-9]+$ ]] || usage_error "PRIVATE_DISPLAY is a display number (:95, say), not ${PRIVATE_DISPLAY}"
[[ ${VNC_PORT:-5900} =~ ^[1-9][0-9]{0,4}$ ]] && [ "${VNC_PORT:-5900}" -le 65535 ] || usage_error "VNC_PORT is a TCP port number (5901, say), not ${VNC_PORT}"

state="$root/build/windows/run-state"
exe="$root/build/windows/station/station.exe"
simulator="$root/build/windows/tools/module_simulator/module_simulator"
export WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

# Everything a run of this checkout starts (its build, the stations and Wine's own programs, the simulator, the
# private display, the VNC server, the help viewer and the servers it leaves in the background) carries
# STATION_RUN in its environment: what this checkout started is found by it, and other checkouts' programs are
# left alone. The package installer is not among them: ended halfway, it could leave the system's packages
# broken.
run_processes() {  # run_processes [COMMAND]: their process ids, those of COMMAND's name left out
  local p
  for p in $(env -u STATION_RUN grep -lzxF "STATION_RUN=$state" /proc/[0-9]*/environ 2>/dev/null | sed 's|^/proc/||; s|/environ$||'); do
    [ -n "${1:-}" ] && [ "$(cat "/proc/$p/comm" 2>/dev/null)" = "$1" ] && continue
    echo "$p"
  done
  return 0
}
# The script of a run of this checkout that is still running: its process id, or nothing.
running_script() {
  local p
  p=$(cat "$state/run.pid" 2>/dev/null) || return 0
  [ -n "$p" ] && [ "$p" != $$ ] && [ "$(readlink "/proc/$p/cwd" 2>/dev/null)" = "$root" ] &&
    tr '\0' ' ' 2>/dev/null <"/proc/$p/cmdline" | grep -q 'run\.sh' && echo "$p"
  return 0
}
# What the run is doing, for another start and --stop to tell: "checking its packages", "building station.exe",
# "making the Wine prefix", then "starting its stations" (and running them).
phase() { phase=$1; echo "$1" >"$state/run.phase"; }
end_processes() {  # end_processes [COMMAND]: the run's processes, those of COMMAND's name excepted
  local left
  left=$(run_processes "${1:-}")
  # (What ended meanwhile is not an error; one suspended with Ctrl-Z takes the signal once continued.)
  [ -z "$left" ] || { kill $left; kill -CONT $left; } 2>/dev/null || true
  for _ in $(seq 1 30); do
    left=$(run_processes "${1:-}")
    [ -z "$left" ] && return 0
    sleep 0.1
  done
  kill -KILL $left 2>/dev/null || true
}
# Asks the wineserver of prefix $1 to end its programs, and waits for that at most 10 seconds: a wineserver that
# does not answer (stopped, or stuck on a loaded machine) would hold the clean-up for good. What is left then
# is ended by process id (end_processes), the wineserver among it.
end_wine() {
  local prefix=$1 asker
  [ -d "$prefix" ] && command -v wineserver >/dev/null || return 0
  WINEPREFIX=$prefix wineserver -k 2>/dev/null &
  asker=$!
  for _ in $(seq 1 100); do kill -0 "$asker" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$asker" 2>/dev/null; then
    echo "run: the wineserver of $prefix did not end its programs within 10 seconds: they are ended by process id" >&2
    kill -KILL "$asker" 2>/dev/null
  fi
  wait "$asker" 2>/dev/null
  return 0
}
# The private X server goes last: a program that sees its display go says so on the terminal and ends with an
# error.
stop_run() {
  local prefix
  for prefix in "$WINEPREFIX" "$state/prefix.new"; do end_wine "$prefix"; done
  end_processes Xvfb
  end_processes
}
# What a run of this checkout has running, in words ("stations A and B, its private display, its VNC server,
# the module simulator"): told where its script is gone without its clean-up (killed with kill -9, say).
left_running() {
  local p name stations="" what=()
  for p in $(run_processes); do
    name=$(cat "/proc/$p/comm" 2>/dev/null) || continue
    case $name in
    station.exe)
      case $(basename "$(readlink "/proc/$p/cwd" 2>/dev/null)") in
      station-A*) stations+=A ;;
      station-B*) stations+=B ;;
      *) what+=("a station") ;;
      esac ;;
    Xvfb) what+=("its private display") ;;
    x11vnc) what+=("its VNC server") ;;
    module_simulato*) what+=("the module simulator") ;;
    cmake | make | gmake | ccache | cc1* | as | ld* | collect2 | lto* | x86_64-w64-* | *-g++* | *-gcc*) what+=("its build") ;;
    wine* | *.exe) what+=("Wine's programs") ;;
    sh | bash | dash) ;;  # the shell of one of the others (a build step, say)
    *) what+=("$name") ;;
    esac
  done
  [ ${#what[@]} -gt 0 ] || [ -n "$stations" ] || what=("programs it started")
  case $stations in
  *A*B* | *B*A*) what=("stations A and B" "${what[@]}") ;;
  *A*) what=("station A" "${what[@]}") ;;
  *B*) what=("station B" "${what[@]}") ;;
  esac
  printf '%s\n' "${what[@]}" | awk '!seen[$0]++' | paste -sd ',' | sed 's/,/, /g'
}
# The addresses that listen on TCP port $1 on this machine, as /proc/net/tcp and tcp6 give them (127.0.0.1 is
# 0100007F).
listeners() {
  local f
  for f in /proc/net/tcp /proc/net/tcp6; do
    [ -r "$f" ] || continue
    awk -v port="$(printf '%04X' "$1")" '$4 == "0A" && substr($2, length($2) - 3) == port {
      print substr($2, 1, length($2) - 5) }' "$f"
  done
}
# A VNC_PORT that another program listens on (another VNC server, say) would have the tunnel that the user set
# up for it reach that program, and x11vnc fail or listen on IPv6 alone: the run stops before it starts
# anything. Another port is not taken in its place, as the tunnel and viewer were set up for this one.
check_vnc_port() {
  [ -z "${DISPLAY:-}" ] && [ -n "${VNC_PORT:-}" ] && [ -n "$(listeners "$VNC_PORT")" ] || return 0
  echo "run: the VNC port $VNC_PORT (VNC_PORT) is taken: another program on this machine listens on it (ss -ltnp names it): nothing was started." >&2
  local free=5900
  while [ -n "$(listeners "$free")" ]; do free=$((free + 1)); done
  echo "run: start with a free port (VNC_PORT=$free scripts/run.sh, say), or without VNC_PORT: the first free port from 5900 is then taken" >&2
  exit 1
}
if [ $stop = 1 ]; then
  running=$(running_script)
  if [ -z "$running$(run_processes)" ]; then
    echo "run: no station of this checkout is running"
    exit 0
  fi
  doing=$(cat "$state/run.phase" 2>/dev/null || echo "starting its stations")
  left=""
  [ -n "$running" ] || left=$(left_running)
  # Told to the script of the run, which says what was ended: under Wine a station ended this way has exit
  # code 0, as after Quit. Signalled first, that script starts nothing more. One suspended with Ctrl-Z takes
  # the signal once continued, with what it waits for: its job, the process group that the shell of its
  # terminal gave it.
  touch "$state/stopped"
  if [ -n "$running" ]; then
    kill "$running" 2>/dev/null || true
    if [ "$(ps -o pgid= -p "$running" | tr -d ' ')" = "$running" ]; then
      kill -CONT -- "-$running" 2>/dev/null || true
    else
      kill -CONT "$running" 2>/dev/null || true
    fi
  fi
  stop_run
  for _ in $(seq 1 50); do [ -z "$(running_script)" ] && break; sleep 0.1; done
  if [ -z "$running" ]; then
    rm -f "$state/stopped" "$state/run.pid" "$state/run.phase"
    echo "run: no run of this checkout was running; what an earlier one had left running is ended: $left"
    case $left in *station*) echo "run: its stations were ended without saving their settings" ;; esac
  elif [ "$doing" = "starting its stations" ]; then
    echo "run: the stations of $state are ended, without saving their settings"
  else
    echo "run: the run of this checkout was $doing: it is ended, before its stations started"
  fi
  running=$(running_script)
  if [ -n "$running" ] && [ "$doing" = "checking its packages" ]; then
    echo "run: its script (process $running) returns once the package installation it waits for is over"
  elif [ -n "$running" ]; then
    echo "run: its script (process $running) has not ended yet"
  fi
  exit 0
fi
# One run at a time: a second one would take the first one's build, ports, prefix and screen. A run whose
# script is gone without its clean-up (killed with kill -9, say) may have left its build, display or
# simulator running: what runs is said, and --stop ends it.
running=$(running_script)
if [ -n "$running" ]; then
  doing=$(cat "$state/run.phase" 2>/dev/null || echo "starting its stations")
  if [ "$doing" != "starting its stations" ]; then
    echo "run: a run of this checkout is $doing (scripts/run.sh, process $running): nothing was changed." >&2
    echo "run: its stations start when it is done; to end it instead, from another terminal: scripts/run.sh --stop" >&2
  else
    echo "run: the stations of this checkout are already running (scripts/run.sh, process $running): nothing was changed." >&2
    echo "run: end them with Quit (which saves their settings), or from another terminal with: scripts/run.sh --stop" >&2
  fi
  exit 1
elif [ -n "$(run_processes)" ]; then
  left=$(left_running)
  echo "run: no run of this checkout is running, but what an earlier one started is left (its script ended without ending it: killed, say): $left: nothing was changed." >&2
  case $left in
  *station*) echo "run: end it with: scripts/run.sh --stop (its stations without saving their settings: Quit in a station first saves them)" >&2 ;;
  *) echo "run: end it with: scripts/run.sh --stop" >&2 ;;
  esac
  exit 1
fi
mkdir -p "$state"
echo $$ >"$state/run.pid"
rm -f "$state/stopped"
a="" b="" station_pids=() signal=""
# On the way out (both stations ended, --stop, Ctrl-C, a hang-up, or a failure): whatever the run still has
# running, and what ended it, said once. Nothing cuts it short: a second Ctrl-C, or the login shell's hang-up
# after the kernel's when the terminal is closed, is ignored, by the clean-up and by what it runs
# (wineserver -k); a terminal gone meanwhile fails the message only.
cleanup() {
  local code=$? how="" who
  trap '' INT TERM HUP
  set +e
  disown -a 2>/dev/null  # the stations ended here are told below, not by the shell one by one
  unset STATION_RUN      # what the clean-up itself runs is not to be ended with the rest
  stop_run
  rm -rf "$state/prefix.new"
  rm -f "$state/run.pid" "$state/run.phase"
  case $signal in INT) code=130 ;; HUP) code=129 ;; TERM) code=143 ;; esac
  if [ -f "$state/stopped" ]; then
    how="by scripts/run.sh --stop" code=0
  elif [ "$signal" = INT ]; then
    how="by Ctrl-C"
  elif [ -n "$signal" ]; then
    how="by a $signal signal"
  fi
  if [ -n "$how" ] && [ ${#station_pids[@]} = 2 ]; then
    echo "run: stations A and B were ended $how, their settings not saved"
  elif [ -n "$how" ] && [ ${#station_pids[@]} = 1 ]; then
    who=A
    [ "${station_pids[0]}" = "$b" ] && who=B
    echo "run: station $who was ended $how, its settings not saved"
  elif [ -n "$how" ]; then
    echo "run: ended $how while $phase: no station was started"
  fi
  exit "$code"
}
# The first signal ends the run (its exit code is 128 + the signal's number); those after it are ignored.
on_signal() {
  trap '' INT TERM HUP
  [ -n "$signal" ] && return 0
  signal=$1
  exit 1
}
trap cleanup EXIT
trap 'on_signal INT' INT
trap 'on_signal TERM' TERM
trap 'on_signal HUP' HUP
for d in "$port_a" "$port_b"; do
  [ -z "$d" ] && continue
  if [ ! -c "$d" ]; then echo "run: $d is not a serial device (is the module plugged in? ls /dev/ttyUSB* /dev/ttyACM*)" >&2; exit 1; fi
  if [ ! -r "$d" ] || [ ! -w "$d" ]; then
    echo "run: $d cannot be read and written by $(id -un): add yourself to its group ($(stat -c %G "$d")) and log in again" >&2
    exit 1
  fi
done

phase "checking its packages"
bash scripts/setup.sh
# A display that does not answer (an ended ssh -X session leaves $DISPLAY set) would get stations with no window
# anywhere: said before the build.
if [ -n "${DISPLAY:-}" ] && ! timeout 10 xdpyinfo >/dev/null 2>&1; then
  echo "run: the display $DISPLAY cannot be reached (no X server answers there; an ssh -X session that has ended leaves it set): nothing was started." >&2
  echo "run: log in again with ssh -X, or start on a private display with a VNC server: env -u DISPLAY scripts/run.sh" >&2
  exit 1
fi
check_vnc_port
# From here on everything the run starts is its own (the installer below excepted: --stop never ends that).
export STATION_RUN="$state"
phase "building station.exe"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$JOBS" --target station module_simulator_host
help_pages=("$root/build/windows/station/HELP_VORNATEL.HTM" "$root/build/windows/station/AIDE_VORNATEL.HTM")

# A display: the current one, or a private one with Wine's desktop on it and a VNC server to see and use it.
# What the run keeps running is started in a session of its own: Ctrl-C in the terminal reaches this script
# only, which ends the stations first and their display last.
desktop=""
if [ -z "${DISPLAY:-}" ]; then
  # What only this case needs: the VNC server, and a light browser for the help pages (where no desktop
  # environment provides one).
  need=()
  command -v x11vnc >/dev/null || need+=(x11vnc)
  command -v dillo >/dev/null || need+=(dillo)
  if [ ${#need[@]} -gt 0 ]; then
    echo "run: installing ${need[*]}"
    SUDO=""
    [ "$(id -u)" != 0 ] && SUDO=sudo
    DEBIAN_FRONTEND=noninteractive $SUDO env -u STATION_RUN apt-get install -y -qq "${need[@]}" >"$state/apt.log" 2>&1 ||
      { cat "$state/apt.log" >&2; exit 1; }
  fi
  n=${PRIVATE_DISPLAY:-}
  n=${n#:}
  if [ -z "$n" ]; then
    n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  elif [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then
    echo "run: the display :$n (PRIVATE_DISPLAY) is taken by another X server: nothing was started" >&2
    exit 1
  fi
  check_vnc_port
  vnc=${VNC_PORT:-5900}
  while [ -n "$(listeners "$vnc")" ]; do vnc=$((vnc + 1)); done
  setsid Xvfb ":$n" -screen 0 2048x1152x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  [ -e "/tmp/.X11-unix/X$n" ] || { cat "$state/xvfb.log" >&2; echo "run: the private display $DISPLAY did not start" >&2; exit 1; }
  setsid x11vnc -display "$DISPLAY" -rfbport "$vnc" -localhost -forever -shared -nopw -quiet >"$state/vnc.log" 2>&1 &
  vnc_server=$!
  # The way to it is told once it listens where the tunnel below leads (localhost's IPv4 port).
  for _ in $(seq 1 200); do
    listeners "$vnc" | grep -qx 0100007F && break
    kill -0 "$vnc_server" 2>/dev/null || break
    sleep 0.1
  done
  if ! listeners "$vnc" | grep -qx 0100007F; then
    tail -n 5 "$state/vnc.log" >&2
    echo "run: the VNC server did not start on port $vnc (see $state/vnc.log): no station was started" >&2
    exit 1
  fi
  desktop=2048x1152
  # A machine without a display has no VNC viewer to show anything with: the viewer runs on the user's own
  # computer, which reaches the server's VNC port through ssh.
  echo "run: no display here: the stations run on a private display ($DISPLAY) in Wine's desktop, which a VNC"
  echo "run: server on port $vnc shows to this machine only. To see and use them, on your own computer (one with"
  echo "run: a screen), install a VNC viewer (Debian, Ubuntu: sudo apt-get install tigervnc-viewer; Windows,"
  echo "run: macOS: TigerVNC's viewer from tigervnc.org) and run there, each in a terminal of its own:"
  echo "run:   ssh -N -L $vnc:localhost:$vnc $(id -un)@$(hostname -f 2>/dev/null || hostname)"
  echo "run:   vncviewer localhost::$vnc"
fi

# --reset forgets what the stations, their modules and Wine keep once nothing can stop the run before it starts
# them: a check that stops it first (a display that does not answer, a port taken...) leaves all that as it
# was. The run's own files (its process id, its phase, the logs of this run) stay.
if [ $reset = 1 ]; then
  find "$state" -mindepth 1 -maxdepth 1 ! -name run.pid ! -name run.phase ! -name stopped ! -name apt.log \
    ! -name xvfb.log ! -name vnc.log -exec rm -rf {} +
  echo "run: $state is emptied: the stations start as on a first run"
fi
# The prefix is made aside and takes its place whole: one cut short (Ctrl-C, --stop) would lack Wine's own
# programs and libraries, and every later start fail. A prefix without the mark of a whole one (from an
# earlier version of this script, which made it in place) is made again.
if [ ! -f "$WINEPREFIX/.whole" ]; then
  phase "making the Wine prefix"
  if [ -d "$WINEPREFIX" ]; then
    echo "run: the Wine prefix $WINEPREFIX may be unfinished (its making was not known to be whole): it is made again"
    rm -rf "$WINEPREFIX"
  fi
  echo "run: making the Wine prefix (once)"
  rm -rf "$state/prefix.new"
  WINEPREFIX="$state/prefix.new" wineboot -i >"$state/wineboot.log" 2>&1 ||
    { tail -n 5 "$state/wineboot.log" >&2; echo "run: the Wine prefix could not be made (wineboot failed, see $state/wineboot.log)" >&2; exit 1; }
  WINEPREFIX="$state/prefix.new" wineserver -w
  touch "$state/prefix.new/.whole"
  mv "$state/prefix.new" "$WINEPREFIX"
fi
phase "starting its stations"
# Fonts, the documents' associations (help pages, received files) and drive Z:'s label.
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
# Wine's own desktop where there was no display; the host's windows where there is one.
if [ -n "$desktop" ]; then
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Vornatel /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Vornatel /d "$desktop" /f >/dev/null 2>&1
else
  wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
fi
# On the host's display without a window manager (a bare X server), Wine draws the windows' frames and moves them
# itself, as Windows does and as in its own desktop: its windows are not handed to a manager that is not there
# (Wine would wait two seconds for one at every window that hides, and leave a plain window without a caption).
# With a window manager, or in Wine's desktop, Wine's own default.
if [ -z "$desktop" ] && ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
else
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
fi

# The stations' directories: real modules keep stations of their own (see --port).
dir_a="$state/station-A" dir_b="$state/station-B"
if [ -n "$port_a$port_b" ]; then dir_a="$state/station-A-radio" dir_b="$state/station-B-radio"; fi

# Module n as the station of `dir` will find it: at the line speed the station saved (byte 4 of its parameter
# image, 1 for 1200 baud and 9 for 9600; 1200 without a parameter file yet). A station ended without saving
# after it moved its module to 9600 baud comes back at the speed it had saved, and would receive nothing but
# spoiled bytes from a module left at 9600.
align_module() {
  local n=$1 dir=$2 name=$3 file="$state/modules.state" saved=1 code baud kept
  [ -f "$file" ] || return 0
  if [ "$(stat -c %s "$dir/CONF_COM.SER" 2>/dev/null || echo 0)" = 945 ]; then
    saved=$(od -An -tu1 -j3 -N1 "$dir/CONF_COM.SER" | tr -d ' ')
  fi
  case $saved in 1) code=01 baud=1200 ;; 9) code=04 baud=9600 ;; *) return 0 ;; esac
  kept=$(sed -n "s/^M$n \(..\).*/\1/p" "$file")
  [ -z "$kept" ] || [ "$kept" = "$code" ] && return 0
  sed -i "s/^M$n ../M$n $code/" "$file"
  echo "run: station $name saved the line speed $baud baud and its simulated module was left at another (station $name was ended without saving): the module is put back at $baud baud"
}

# The ports: the real modules' devices, or the simulator's two modules on COM5 and COM6.
rm -f "$WINEPREFIX"/dosdevices/com[0-9]* "$state/ptys"
if [ -n "$port_a$port_b" ]; then
  [ -n "$port_a" ] && ln -s "$port_a" "$WINEPREFIX/dosdevices/com5"
  [ -n "$port_b" ] && ln -s "$port_b" "$WINEPREFIX/dosdevices/com6"
  [ -z "$port_b" ] && STATIONS=1
  [ -z "$port_a" ] && echo "run: station A has no module (only --port-b was given): it starts on COM5 all the same"
else
  # Both modules start on the settings the station programs (so that a station whose "Transceiver" menu says
  # DRF1278DM finds its module right and leaves it alone) and keep what they are programmed with afterwards.
  # P0 01: 1200 baud, the stations' standard speed; 6C8012: 434.0000 MHz; 0A: spreading factor 1024; 07: 125 kHz.
  programmed=01006C80120A000700000003
  align_module 1 "$dir_a" A
  [ "${STATIONS:-2}" != 1 ] && align_module 2 "$dir_b" B
  setsid "$simulator" --link "$WINEPREFIX/dosdevices/com5" --link "$WINEPREFIX/dosdevices/com6" \
    --params "$programmed" --params "$programmed" --state "$state/modules.state" \
    --pty-file "$state/ptys" --log "$state/simulator.log" &
  for _ in $(seq 1 100); do [ -f "$state/ptys" ] && break; sleep 0.1; done
  [ -f "$state/ptys" ] || { tail -n 5 "$state/simulator.log" >&2; echo "run: the module simulator did not start" >&2; exit 1; }
fi

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
  (cd "$dir" && exec setsid wine "$exe") >/dev/null 2>&1 &
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

prepare "$dir_a" 5 0 0 F1AAA
place "$dir_a" 0 0
pages "$dir_a"
(cd "$dir_a" && exec setsid wine "$exe") &
a=$!
station_pids+=("$a")
if [ "${STATIONS:-2}" != 1 ]; then
  prepare "$dir_b" 6 "$b_left" 0 F2BBB
  place "$dir_b" "$b_left" 0
  pages "$dir_b"
  (cd "$dir_b" && exec setsid wine "$exe") &
  b=$!
  station_pids+=("$b")
fi
if [ -n "$port_a$port_b" ]; then
  echo "run: station A on COM5${port_a:+ = $port_a}${b:+, station B on COM6${port_b:+ = $port_b}}: real radio modules, no simulator"
elif [ -n "$b" ]; then
  echo "run: station A on COM5, station B on COM6, on simulated modules; simulator log in $state/simulator.log"
  echo "run: type in A's upper window and press Escape; B shows the text."
  echo "run: AUTEX: both stations in AUTEX mode, A \"Start the meeting\", B \"Enter\" once its S1 panel shows \"CQ de F1AAA\" (see README.md)."
else
  echo "run: station A alone (STATIONS=1) on COM5, on a simulated module: what it sends, no station hears; simulator log in $state/simulator.log"
fi
if [ -n "$b" ]; then
  echo "run: each station's files (settings, AUTEX, REPORTS, SCREEN) are in $dir_a and $(basename "$dir_b")."
  echo "run: Quit saves a station's settings; this script ends when both stations have ended (Ctrl-C ends them unsaved)."
else
  echo "run: station A's files (settings, AUTEX, REPORTS, SCREEN) are in $dir_a."
  echo "run: Quit saves its settings; this script ends when station A has ended (Ctrl-C ends it unsaved)."
fi
# Each station as it ends: Quit ends the program with exit code 0; anything else is told (and makes the script's
# exit code).
status=0
while [ ${#station_pids[@]} -gt 0 ]; do
  code=0 ended=""
  wait -n -p ended "${station_pids[@]}" || code=$?
  [ -n "$ended" ] || break
  # Ended by --stop (whose stations end with exit code 0 under Wine, as after Quit): said on the way out, of every
  # station still running then.
  [ -f "$state/stopped" ] && break
  s=A
  [ "$ended" = "$b" ] && s=B
  rest=()
  for p in "${station_pids[@]}"; do [ "$p" = "$ended" ] || rest+=("$p"); done
  station_pids=("${rest[@]}")
  if [ $code != 0 ]; then
    echo "run: station $s ended with exit code $code"
    status=1
  fi
done
exit $status
