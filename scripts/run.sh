#!/usr/bin/env bash
# Builds the Windows program and starts it. On Linux it runs under Wine (on the current display, or on a
# private Xvfb display when there is none).
#
# The station program itself is not built yet: until it is, this builds the Windows test executables and
# runs them under Wine as a smoke run of the tool chain.
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "${JOBS:-$(nproc)}"

state="$PWD/build/windows/run-state"
bash tests/wine/wine-fixture.sh setup "$state" >/dev/null
trap 'bash tests/wine/wine-fixture.sh cleanup "$state"' EXIT
status=0
for exe in build/windows/tests/*/*_tests.exe; do
  echo "=== $exe (under Wine)"
  bash tests/wine/wine-run.sh "$state" "$exe" --gtest_brief=1 || status=1
done
exit $status
