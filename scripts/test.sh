#!/usr/bin/env bash
# Builds and runs every test: native (g++), native under ASan/UBSan, the Windows build under Wine and Xvfb,
# and a short run of every libFuzzer target. Installs what is missing first (scripts/setup.sh).
#   FUZZ_SECONDS  seconds per fuzz target (default 20)
#   JOBS          parallel build and test jobs (default: number of processors)
set -eu
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
