#!/usr/bin/env bash
# run.sh BUILD_DIR SECONDS: replays every saved regression input, then fuzzes each target for SECONDS.
# Seeds come from fuzz/corpus/<target>/ when present; findings are written to BUILD_DIR/findings/<target>/.
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
for exe in "$build"/fuzz/fuzz_*; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  work="$build/fuzz-work/$name"
  findings="$build/findings/$name"
  mkdir -p "$work" "$findings"
  regress=("$src/regressions/$name"/*)
  if [ ${#regress[@]} -gt 0 ]; then
    if ! "$exe" "${regress[@]}" >"$findings/regressions.log" 2>&1; then
      echo "$name: a saved regression input fails"; tail -30 "$findings/regressions.log"; status=1; continue
    fi
  fi
  seeds=()
  [ -d "$src/corpus/$name" ] && seeds=("$src/corpus/$name")
  if "$exe" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$findings/" \
       -print_final_stats=0 "$work" "${seeds[@]}" >"$findings/run.log" 2>&1; then
    echo "$name: no finding in ${seconds}s ($(grep -o 'Done [0-9]* runs' "$findings/run.log" | tail -1))"
  else
    echo "$name: FINDING"; tail -40 "$findings/run.log"; status=1
  fi
done
exit $status
