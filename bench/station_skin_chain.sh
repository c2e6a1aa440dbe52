#!/usr/bin/env bash
# A long PARENTCLASS chain in a skin the real station loads, under Wine and Xvfb (Windows build; run by hand):
#   bash bench/station_skin_chain.sh BUILD_DIR N chain|flat [rounds]
# "Lucky (internal)" is put in C:\Skins (where the program looks before its stored skins) with N more sections:
# "chain", each the PARENTCLASS of the one before, the chain the parent of [BUTTON], [PANEL] and [FORM]; "flat",
# the same sections without a parent. station_skins_winbench then prints the live switch's median (the click
# on a skin button to the main window showing the skin), which loads it. The fixture must be set up
# (tests/wine/wine-fixture.sh setup BUILD_DIR/wine-state; WINE_STATE names another fixture's state, e.g. to
# measure an older build).
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
if [ "${2:-}" != --inside ]; then
  build=$(cd "${1:?build directory}" && pwd)
  export STATION_EXE=$build/station/station.exe STATION_SKINS=$build/generated/skins/packed
  exec env WINE_COMPOSITOR=1 bash "$here/tests/wine/wine-own.sh" "${WINE_STATE:-$build/wine-state}" "$here/bench/station_skin_chain.sh" \
    --inside "$build" "${2:?sections}" "${3:?chain or flat}" "${4:-3}"
fi
# Called by wine-own.sh: OWN_DIR --inside BUILD_DIR N KIND ROUNDS.
own=$1 build=$3 n=$4 kind=$5 rounds=$6
skins="$own/prefix/drive_c/Skins"
mkdir -p "$skins"
cp -r "$build/generated/skins/skins/Lucky (internal)" "$skins/"
python3 - "$skins/Lucky (internal)/Options.dat" "$n" "$kind" <<'PY'
import sys
path, n, kind = sys.argv[1], int(sys.argv[2]), sys.argv[3]
text = open(path, 'rb').read().decode('latin-1')
if kind == 'chain' and n > 0:
    for section in ('[BUTTON]\r\n', '[PANEL]\r\n', '[FORM]\r\n'):
        at = text.index(section) + len(section)
        text = text[:at] + 'PARENTCLASS=CHAIN0\r\n' + text[at:]
for i in range(n):
    text += '\r\n[CHAIN%d]\r\n' % i
    if kind == 'chain' and i + 1 < n:
        text += 'PARENTCLASS=CHAIN%d\r\n' % (i + 1)
open(path, 'wb').write(text.encode('latin-1'))
PY
bash "$here/tests/wine/wine-run.sh" "$own" "$build/tests/e2e/station_skins_winbench.exe" "$rounds" 2>&1 |
  grep -v -e fixme -e 'err:'
