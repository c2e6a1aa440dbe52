#!/usr/bin/env bash
# documents_wine_test.sh STATE_DIR TEST.exe: gives this test's own Wine prefix the documents' associations that
# scripts/run.sh gives its prefix (scripts/wine-prefix.sh), then runs the test that opens documents in it.
set -u
state=${1:?state directory}
exe=${2:?test executable}
here=$(cd "$(dirname "$0")" && pwd)
[ -f "$state/display" ] || { echo "the wine fixture is not set up ($state)"; exit 1; }
DISPLAY=$(cat "$state/display") bash "$here/../../scripts/wine-prefix.sh" "$state/prefix" || exit 1
exec bash "$here/../wine/wine-run.sh" "$state" "$exe"
