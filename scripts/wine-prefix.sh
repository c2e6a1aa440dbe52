#!/usr/bin/env bash
# wine-prefix.sh PREFIX: makes scripts/run.sh's Wine prefix an operator's desktop (idempotent; run once the
# prefix exists):
# - the fonts the windows name, with their metrics (scripts/wine-fonts.sh);
# - documents open: the help pages (.htm, .html) and the kinds of received file that the station opens
#   (pictures, PDF, archives) go to Wine's winebrowser, which hands them to the host's own opener (xdg-open, or
#   a browser such as dillo where no desktop is installed); text files (.txt, .log) go to Wine's own Notepad
#   (Wine's prefix knows the class "txtfile" but gives no extension to it, and the shell then answered "no
#   association", error 31); any other kind of received file the station names with its full path and does
#   not open;
# - drive Z: (the Linux root) gets a device of its own to read its volume label from, /dev/null: the file
#   dialog then no longer prints "Read access denied for device Z:" on the console each time it lists the drives.
set -eu
# Under sh, bash's own syntax would stop it, halfway or with a bare syntax error: it says so before anything.
[ -n "${BASH_VERSION:-}" ] || { echo "wine-prefix: this script needs bash: start it as bash scripts/wine-prefix.sh PREFIX" >&2; exit 2; }
prefix=$(cd "${1:?Wine prefix}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/wine-fonts.sh" "$prefix"
[ -e "$prefix/dosdevices/z::" ] || ln -s /dev/null "$prefix/dosdevices/z::"

reg=$(mktemp --suffix=.reg)
{
  echo 'REGEDIT4'
  echo
  echo '[HKEY_CLASSES_ROOT\vornatel.document\shell\open\command]'
  echo '@="C:\\windows\\system32\\winebrowser.exe \"%1\""'
  for ext in htm html xml jpg jpeg png gif bmp pdf zip; do
    echo
    echo "[HKEY_CLASSES_ROOT\\.$ext]"
    echo '@="vornatel.document"'
  done
  echo
  echo '[HKEY_CLASSES_ROOT\txtfile\shell\open\command]'
  echo '@="C:\\windows\\system32\\notepad.exe \"%1\""'
  for ext in txt log; do
    echo
    echo "[HKEY_CLASSES_ROOT\\.$ext]"
    echo '@="txtfile"'
  done
} >"$reg"
WINEPREFIX="$prefix" WINEDEBUG=-all wine regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1 ||
  echo "wine-prefix: the document associations could not be registered" >&2
rm -f "$reg"
