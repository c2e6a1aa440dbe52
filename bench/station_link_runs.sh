#!/usr/bin/env bash
# station_link_runs.sh goodput|soak [MINUTES]: the long runs of two real station.exe under Wine, on the module
# simulator's ports, that CI does not make (they are timed, or last half an hour). Run after a Windows build
# (cmake --build --preset windows), from the checkout:
#   bench/station_link_runs.sh goodput      a file at 1200, 400 and 171 bauds between stations on their
#                                           standard settings, on modules at scripts/run.sh's settings, from
#                                           "Transmission" to the file whole at the other station; then the same
#                                           file in bench/autex_liaison_bench's simulated link through the same
#                                           modules, and the share of its goodput that the real stations reach
#   bench/station_link_runs.sh soak 30      two skinned stations in an AUTEX link for 30 minutes, with messages,
#                                           dialogs, speech options, skin switches and files both ways, under
#                                           Wine's channels that report faults (exceptions, errors); any end
#                                           of a station without Quit fails the run
# Output in build/windows/link-runs/<what>/: the driver's log, the stations' Wine messages, the pictures.
set -u
cd "$(dirname "$0")/.."
root=$PWD
what=${1:?goodput or soak}
minutes=${2:-30}
build="$root/build/windows"
out="$build/link-runs/$what"
work=$(mktemp -d /tmp/station-link-runs.XXXXXX)
state="$work/fixture"
rm -rf "$out"
mkdir -p "$out"
# A copy of the program: a build made while the run goes on does not change it under the stations.
cp "$build/station/station.exe" "$work/station.exe"
cp "$build/station/"*.HTM "$work/" 2>/dev/null
trap 'bash tests/wine/wine-fixture.sh cleanup "$state" >/dev/null 2>&1; rm -rf "$work"' EXIT
bash tests/wine/wine-fixture.sh setup "$state" >"$out/fixture.log" 2>&1 || { cat "$out/fixture.log"; exit 1; }

case "$what" in
goodput)
  export E2E_GOODPUT=1 E2E_FILTER='StationGoodput.*'
  ;;
soak)
  # Exceptions (the first and the unhandled ones), errors of every channel, and the processes' own ends.
  export E2E_SOAK_MINUTES=$minutes E2E_FILTER='StationSoak.*' STATION_WINEDEBUG='+seh,err+all,+process'
  ;;
*)
  echo "usage: $0 goodput|soak [MINUTES]" >&2
  exit 2
  ;;
esac
export E2E_GROUP=$what E2E_NOISY=0 WINE_SCREEN=2112x1024x24
start=$(date +%s)
bash tests/wine/wine-own.sh "$state" tests/e2e/e2e_test.sh "$build/tools/module_simulator/module_simulator" \
  "$build/tests/e2e/station_e2e_driver.exe" "$work/station.exe" "$out" >"$out/driver.log" 2>&1
status=$?
echo "$what: exit $status after $(( $(date +%s) - start )) s; log in $out/driver.log"
# What Wine said of faults: exceptions, errors, and the processes that ended.
grep -E 'seh:|err:|process:.*exit|Unhandled|page fault' "$out/driver.log" | grep -v -E 'fixme:' | sort | uniq -c |
  sort -rn | head -n 40 >"$out/faults.txt"
if [ -s "$out/faults.txt" ]; then echo "--- Wine's fault channels (counts)"; cat "$out/faults.txt"; fi
grep -E '^(goodput|soak):|FAILED|ended by itself' "$out/driver.log"

if [ "$what" = goodput ] && [ $status -eq 0 ]; then
  bench_exe="$root/build/native/bench/autex_liaison_bench"
  if [ -x "$bench_exe" ]; then
    echo "--- the same file in the simulated link, through the same modules (receive pump ticking every 10 ms, as under Wine)"
    "$bench_exe" | tee "$out/link-bench.txt"
    awk '
      FNR == NR { if ($1 == "file") { bench[$2] = $5; bound[$2] = $6 } next }
      /^goodput / { for (i = 2; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
                    s = v["speed"]; if (bench[s] > 0)
                      printf "speed %5s  file %5s B  %7.1f s  %6.2f B/s  link bench %6.2f B/s  share %.2f  (bound %.2f B/s)\n",
                             s, v["bytes"], v["seconds"], v["bytes_per_s"], bench[s], v["bytes_per_s"] / bench[s], bound[s] }
    ' "$out/link-bench.txt" "$out/driver.log" | tee "$out/goodput.txt"
  else
    echo "(no native build: cmake --build --preset native --target autex_liaison_bench gives the link's goodput)"
  fi
fi
exit $status
