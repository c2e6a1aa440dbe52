#!/usr/bin/env bash
# run.sh BUILD_DIR SECONDS: replays every saved regression input, then fuzzes each target for SECONDS.
# Seeds come from fuzz/corpus/<target>/ when present; findings are written to BUILD_DIR/findings/<target>/.
# The targets run side by side, JOBS at a time (default: the number of processors); each says its result in
# the targets' order once all have ended.
set -u
# Under sh, bash's own syntax would stop it, halfway or with a bare syntax error: it says so before anything.
[ -n "${BASH_VERSION:-}" ] || { echo "fuzz: this script needs bash: start it as bash fuzz/run.sh BUILD_DIR SECONDS" >&2; exit 2; }
build=${1:?build directory}
seconds=${2:-20}
src=$(cd "$(dirname "$0")" && pwd)
status=0
# Undefined behaviour is a finding: the fuzz build stops at the first report (-fno-sanitize-recover), and so
# does a build made without it.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
shopt -s nullglob
jobs=${JOBS:-$(nproc)}
[[ "$jobs" =~ ^[1-9][0-9]*$ ]] || jobs=1

# One target: its regressions, then its fuzzing. What it says goes to its findings folder's result, and its exit
# code says whether it found anything.
fuzz_one() {
  local exe=$1 name work findings regress seeds
  name=$(basename "$exe")
  work="$build/fuzz-work/$name"
  findings="$build/findings/$name"
  regress=("$src/regressions/$name"/*)
  if [ ${#regress[@]} -gt 0 ]; then
    if ! "$exe" "${regress[@]}" >"$findings/regressions.log" 2>&1; then
      echo "$name: a saved regression input fails"; tail -30 "$findings/regressions.log"; return 1
    fi
  fi
  seeds=()
  [ -d "$src/corpus/$name" ] && seeds=("$src/corpus/$name")
  if "$exe" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$findings/" \
       -print_final_stats=0 "$work" "${seeds[@]}" >"$findings/run.log" 2>&1; then
    echo "$name: no finding in ${seconds}s ($(grep -o 'Done [0-9]* runs' "$findings/run.log" | tail -1))"
  else
    echo "$name: FINDING"; tail -40 "$findings/run.log"; return 1
  fi
}

targets=()
for exe in "$build"/fuzz/fuzz_*; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  mkdir -p "$build/fuzz-work/$name" "$build/findings/$name"
  rm -f "$build/findings/$name/result" "$build/findings/$name/status"
  targets+=("$exe")
done
running=0
for exe in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
  findings="$build/findings/$(basename "$exe")"
  (fuzz_one "$exe" >"$findings/result" 2>&1; echo $? >"$findings/status") &
  running=$((running + 1))
done
wait
for exe in "${targets[@]}"; do
  findings="$build/findings/$(basename "$exe")"
  cat "$findings/result"
  [ "$(cat "$findings/status" 2>/dev/null)" = 0 ] || status=1
done
exit $status
