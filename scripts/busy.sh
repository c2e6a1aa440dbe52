#!/usr/bin/env bash
# Runs a command on a loaded machine: starts busy loops (processes that only spin on a processor) beside it,
# runs the command, and ends the loops by their process ids when the command ends, on Ctrl-C, and when this
# script is ended (kill, a closed terminal). A loop also ends by itself within about a second should this
# script be killed outright (kill -9). The tests are meant to pass this way as they pass on a quiet machine.
#
# Usage: scripts/busy.sh [-n N] [--] command [argument...]
#   -n N        the number of busy loops (default: twice the number of processors; BUSY_LOOPS sets it too)
# Examples:
#   scripts/busy.sh scripts/test.sh                               every test, beside 2 x processors loops
#   scripts/busy.sh -n 16 scripts/test.sh windows -R skin_forms   the Windows tests named skin_forms...
# It says the load average (over one minute) when it starts, the highest seen while the command ran and the
# time the command took, and exits with the command's exit code (128 + the signal's number when a signal
# ended the run).
set -u
[ -n "${BASH_VERSION:-}" ] || { echo "busy: this script needs bash: start it as scripts/busy.sh (or bash scripts/busy.sh)" >&2; exit 2; }

usage() { sed -n '2,/^set -u/p' "$0" | sed '$d; s/^# \{0,1\}//'; }
loops=${BUSY_LOOPS:-$(($(nproc) * 2))}
while [ $# -gt 0 ]; do
  case "$1" in
  -h | --help) usage; exit 0 ;;
  -n) [ $# -ge 2 ] || { echo "busy: -n needs a number" >&2; exit 2; }; loops=$2; shift 2 ;;
  -n*) loops=${1#-n}; shift ;;
  --) shift; break ;;
  -*) echo "busy: unknown option $1 (see scripts/busy.sh --help)" >&2; exit 2 ;;
  *) break ;;
  esac
done
case "$loops" in
'' | *[!0-9]*) echo "busy: the number of loops must be a whole number, not '$loops'" >&2; exit 2 ;;
esac
[ $# -gt 0 ] || { echo "busy: no command given (see scripts/busy.sh --help)" >&2; exit 2; }

load() { cut -d' ' -f1 /proc/loadavg; }
owner=$$
pids=()
command_pid=
sleeper=
ending=

end_loops() {
  [ ${#pids[@]} -gt 0 ] || return 0
  kill "${pids[@]}" 2>/dev/null
  wait "${pids[@]}" 2>/dev/null
  pids=()
}

on_signal() {
  local name=$1 number=$2
  [ -z "$ending" ] || return 0
  ending=$name
  end_loops
  if [ -n "$sleeper" ]; then kill "$sleeper" 2>/dev/null; fi
  # Ctrl-C reached the command too (it shares the terminal); a kill of this script is passed on to it.
  if [ -n "$command_pid" ] && [ "$name" != INT ]; then kill -"$name" "$command_pid" 2>/dev/null; fi
  if [ -n "$command_pid" ]; then wait "$command_pid" 2>/dev/null; fi
  echo "busy: ended by SIG$name; the $loops busy loops were ended" >&2
  exit $((128 + number))
}
trap 'on_signal INT 2' INT
trap 'on_signal TERM 15' TERM
trap 'on_signal HUP 1' HUP
trap end_loops EXIT

start_load=$(load)
for ((n = 0; n < loops; n++)); do
  # Spins, and looks about once a second whether this script is still there.
  (
    trap - INT QUIT TERM
    while kill -0 "$owner" 2>/dev/null; do
      for ((i = 0; i < 100000; i++)); do :; done
    done
  ) &
  pids+=($!)
done
echo "busy: $loops busy loops started on $(nproc) processors (load average $start_load); running: $*" >&2

start=$(date +%s)
exec 3<&0
# An asynchronous command would ignore Ctrl-C and read nothing: it is given both back.
( trap - INT QUIT; exec "$@" <&3 3<&- ) &
command_pid=$!
exec 3<&-
highest=$start_load
while kill -0 "$command_pid" 2>/dev/null; do
  sleep 1 &
  sleeper=$!
  wait "$sleeper" 2>/dev/null
  sleeper=
  now=$(load)
  if awk -v a="$now" -v b="$highest" 'BEGIN { exit !(a > b) }'; then highest=$now; fi
done
wait "$command_pid"
rc=$?
command_pid=
end_loops
spent=$(($(date +%s) - start))
printf 'busy: the command ended with code %d after %dm%02ds; load average %s at the start, at most %s while it ran, %s at the end; the %d busy loops were ended\n' \
  "$rc" $((spent / 60)) $((spent % 60)) "$start_load" "$highest" "$(load)" "$loops" >&2
exit "$rc"
