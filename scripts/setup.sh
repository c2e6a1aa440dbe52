#!/usr/bin/env bash
# Installs, with apt-get, what a fresh Debian 12 machine lacks to build, run and test the station.
# Idempotent: when everything is present it only checks and returns.
set -eu
# Under sh, bash's own syntax would stop it, halfway or with a bare syntax error: it says so before anything.
[ -n "${BASH_VERSION:-}" ] || { echo "setup: this script needs bash: start it as scripts/setup.sh (or bash scripts/setup.sh)" >&2; exit 2; }

packages=(
  build-essential cmake git pkg-config ca-certificates
  g++-mingw-w64-x86-64 libz-mingw-w64-dev      # the Windows program (x86_64-w64-mingw32) and its zlib
  wine wine64 xvfb xauth x11-utils xdotool imagemagick  # running and looking at it on Linux
  xcompmgr openbox                             # a display that blends layered windows; one with a window manager
  fonts-wine fonts-liberation                  # the windows' fonts with their metrics (Tahoma; Arial, Courier New)
  socat                                        # serial links between simulated radio modules and stations
  procps                                       # pgrep: the Wine fixtures stop what a test left running
  zlib1g-dev libjpeg62-turbo-dev libjpeg-turbo-progs libpng-dev
  googletest libbenchmark-dev                  # tests (built from source for both tool chains) and benchmarks
  libfec-dev libspng-dev libpixman-1-dev       # the well-known libraries the benchmarks compare against
  clang libclang-rt-14-dev                     # libFuzzer targets
  dpkg-dev nasm                                # apt-get source and the SIMD code, for cross-building libjpeg-turbo
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The Windows build cross-builds libjpeg-turbo from Debian's source package (scripts/build-libjpeg-mingw.sh):
# apt needs deb-src entries. When it has none, the Debian entries of this machine's release (the "deb"
# stanzas of /etc/apt/sources.list.d/*.sources and the "deb" lines of the .list files) are repeated as
# deb-src in a file of their own.
if ! apt-cache showsrc libjpeg-turbo 2>/dev/null | grep -q '^Version:'; then
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  out=/etc/apt/sources.list.d/station-deb-src.sources
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    [ "$f" = "$out" ] && continue
    # One deb-src stanza for each deb stanza of the release's main component.
    awk -v codename="$codename" '
      function flush() {
        if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " codename " ") && (" " comps " ") ~ / main /) {
          print "Types: deb-src"; print "URIs: " uris; print "Suites: " suites; print "Components: " comps
          if (signed != "") print "Signed-By: " signed
          print ""
        }
        types = uris = suites = comps = signed = ""
      }
      /^[ \t]*$/ { flush(); next }
      /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0 }
      /^URIs:/ { sub(/^URIs:[ \t]*/, ""); uris = $0 }
      /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0 }
      /^Components:/ { sub(/^Components:[ \t]*/, ""); comps = $0 }
      /^Signed-By:/ { sub(/^Signed-By:[ \t]*/, ""); signed = $0 }
      END { flush() }' "$f" >>"$tmp"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v codename="$codename" '$1 == "deb" && $0 ~ (" " codename " ") && $0 ~ / main/ {
      sub(/^deb/, "deb-src"); print }' "$f" >>"$tmp.list"
  done
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
  if [ -s "$tmp" ]; then $SUDO cp "$tmp" "$out"; fi
  if [ -s "$tmp.list" ]; then $SUDO cp "$tmp.list" /etc/apt/sources.list.d/station-deb-src.list; fi
  rm -f "$tmp" "$tmp.list"
  echo "setup: added deb-src entries for $codename; updating the package lists"
  $SUDO apt-get update -qq
fi
echo "setup: all build and test dependencies are present"
