#!/usr/bin/env bash
# wine-fonts.sh PREFIX: makes the fonts that the program's windows name visible to Wine in the prefix, each
# with its own metrics, so that captions take the room they take on Windows:
# - Tahoma (the windows' font) and Marlett (the symbol font that the system draws the title buttons, the marks
#   of the system menu and the scroll arrows with): Wine's own, from the fonts-wine package, which Wine on Debian
#   does not load by itself: copied into the prefix's Fonts directory (without Marlett, a plain window's title
#   buttons show the letters "0 1 r");
# - Arial, Courier New and Times New Roman (the dialogs' labels, the secondary channels): the metric-compatible
#   Liberation fonts (fonts-liberation), named as their replacements.
# Idempotent; run once the prefix exists (scripts/setup.sh installs both packages).
set -eu
# Under sh, bash's own syntax would stop it, halfway or with a bare syntax error: it says so before anything.
[ -n "${BASH_VERSION:-}" ] || { echo "wine-fonts: this script needs bash: start it as bash scripts/wine-fonts.sh PREFIX" >&2; exit 2; }
prefix=$(cd "${1:?Wine prefix}" && pwd)
fonts="$prefix/drive_c/windows/Fonts"
mkdir -p "$fonts"
for f in tahoma.ttf tahomabd.ttf marlett.ttf; do
  if [ -f "/usr/share/wine/fonts/$f" ]; then
    cmp -s "/usr/share/wine/fonts/$f" "$fonts/$f" || cp -f "/usr/share/wine/fonts/$f" "$fonts/$f"
  else
    echo "wine-fonts: /usr/share/wine/fonts/$f is missing (package fonts-wine)" >&2
  fi
done
reg=$(mktemp --suffix=.reg)
cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Courier New"="Liberation Mono"
"Times New Roman"="Liberation Serif"
REG
# Wine's drive Z: is the Linux root.
WINEPREFIX="$prefix" WINEDEBUG=-all wine regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1 ||
  echo "wine-fonts: the font replacements could not be registered" >&2
rm -f "$reg"
