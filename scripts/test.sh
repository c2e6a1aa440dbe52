#!/usr/bin/env bash
# Builds and runs every test: native (g++), native under ASan/UBSan, the Windows build under Wine and Xvfb,
# and a short run of every libFuzzer target; then says which of the four failed. Installs what is missing first
# (scripts/setup.sh, with apt-get).
#
# Usage: scripts/test.sh          (no arguments; --help shows this)
# Environment:
#   JOBS          parallel build and test jobs (default: the number of processors)
#   FUZZ_SECONDS  seconds per fuzz target (default 20)
# On 8 processors with nothing else running a run takes about 25 minutes once the packages are installed: the
# four builds from scratch, then the tests, of which the Windows ones under Wine (real station.exe, two stations
# linked over a simulated radio) are the longest; about 40 minutes on a machine loaded three times over, and more
# on fewer processors. With a compiler cache (CMAKE_CXX_COMPILER_LAUNCHER=ccache) a later run rebuilds little.
set -eu
# Under sh, bash's own syntax would stop it, halfway or with a bare syntax error: it says so before anything.
[ -n "${BASH_VERSION:-}" ] || { echo "test: this script needs bash: start it as scripts/test.sh (or bash scripts/test.sh)" >&2; exit 2; }
case "${1:-}" in
"") ;;
-h | --help) sed -n '2,/^set -eu/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
*) echo "test: unknown argument $1 (it takes none; see scripts/test.sh --help)" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
bash scripts/setup.sh

JOBS=${JOBS:-$(nproc)}
FUZZ_SECONDS=${FUZZ_SECONDS:-20}
failed=()

step() { echo; echo "=== $*"; }

for preset in native native-asan windows; do
  step "$preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$JOBS"
  step "$preset: tests"
  if ! ctest --preset "$preset" -j "$JOBS" --output-on-failure; then failed+=("$preset"); fi
done

step "fuzz: build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$JOBS"
step "fuzz: ${FUZZ_SECONDS}s per target"
if ! bash fuzz/run.sh build/fuzz "$FUZZ_SECONDS"; then failed+=(fuzz); fi

echo
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All tests passed."
