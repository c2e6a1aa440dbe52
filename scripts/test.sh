#!/usr/bin/env bash
# Builds and runs every test: native (g++), native under ASan/UBSan, the Windows build under Wine and Xvfb,
# and a short run of every libFuzzer target; then says which of the four failed. Installs what is missing first
# (scripts/setup.sh, with apt-get).
#
# Usage: scripts/test.sh [PART] [-R PATTERN]      (--help shows this)
#   PART          one part only: native, native-asan, windows or fuzz (default: all four, in that order)
#   -R PATTERN    only the ctest tests whose name PATTERN (a regular expression) matches, of the part given or
#                 of native, native-asan and windows (the fuzz part has none); `ctest --preset PART -N` lists
#                 the names
#                 (natively each GoogleTest case is a ctest test; under Wine each test program is one)
# For example:
#   scripts/test.sh native-asan -R 'TenKilobytes|OverPty' those GoogleTest cases, under ASan/UBSan
#   scripts/test.sh windows -R '^skin_forms_win_tests$'   one Windows test program
#   GTEST_FILTER='TitleBarWindows.*' scripts/test.sh windows -R '^skin_forms_win_tests$'
#                                                         some of its GoogleTest cases
#   scripts/busy.sh scripts/test.sh                       every test on a loaded machine: beside busy loops,
#                                                         twice as many as processors (see scripts/busy.sh --help)
# Environment:
#   JOBS          parallel build and test jobs (default: the number of processors)
#   FUZZ_SECONDS  seconds per fuzz target (default 20)
# On 8 processors with nothing else running a run takes about 25 minutes once the packages are installed: the
# four builds from scratch, then the tests, of which the Windows ones under Wine (real station.exe, two stations
# linked over a simulated radio) are the longest; about 50 minutes on a machine loaded three times over, and more
# on fewer processors. With a compiler cache (CMAKE_CXX_COMPILER_LAUNCHER=ccache) a later run rebuilds little.
set -eu
# Under sh, bash's own syntax would stop it, halfway or with a bare syntax error: it says so before anything.
[ -n "${BASH_VERSION:-}" ] || { echo "test: this script needs bash: start it as scripts/test.sh (or bash scripts/test.sh)" >&2; exit 2; }
parts=(native native-asan windows fuzz)
only=
pattern=
while [ $# -gt 0 ]; do
  case "$1" in
  -h | --help) sed -n '2,/^set -eu/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
  -R)
    [ $# -ge 2 ] && [ -n "$2" ] || { echo "test: -R needs a pattern (see scripts/test.sh --help)" >&2; exit 2; }
    pattern=$2
    shift 2
    ;;
  native | native-asan | windows | fuzz)
    [ -z "$only" ] || { echo "test: one part at a time ($only, then $1; see scripts/test.sh --help)" >&2; exit 2; }
    only=$1
    shift
    ;;
  *) echo "test: unknown argument $1 (see scripts/test.sh --help)" >&2; exit 2 ;;
  esac
done
if [ -n "$only" ]; then parts=("$only"); fi
if [ -n "$pattern" ] && [ "$only" = fuzz ]; then
  echo "test: -R picks ctest tests; the fuzz part has none (see scripts/test.sh --help)" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
bash scripts/setup.sh

JOBS=${JOBS:-$(nproc)}
FUZZ_SECONDS=${FUZZ_SECONDS:-20}
failed=()

step() { echo; echo "=== $*"; }

selection=()
if [ -n "$pattern" ]; then selection=(-R "$pattern"); fi

for preset in "${parts[@]}"; do
  [ "$preset" != fuzz ] || continue
  step "$preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$JOBS"
  step "$preset: tests${pattern:+ matching $pattern}"
  if ! ctest --preset "$preset" -j "$JOBS" --output-on-failure "${selection[@]}"; then failed+=("$preset"); fi
done

if [ "${parts[-1]}" = fuzz ] && [ -z "$pattern" ]; then
  step "fuzz: build"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$JOBS"
  step "fuzz: ${FUZZ_SECONDS}s per target"
  if ! JOBS="$JOBS" bash fuzz/run.sh build/fuzz "$FUZZ_SECONDS"; then failed+=(fuzz); fi
fi

echo
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
if [ ${#parts[@]} -eq 4 ] && [ -z "$pattern" ]; then echo "All tests passed."; else echo "The tests chosen passed."; fi
