#!/usr/bin/env bash
# Installs, with apt-get, what a fresh Debian 12 machine lacks to build, run and test the station.
# Idempotent: when everything is present it only checks and returns.
set -eu

packages=(
  build-essential cmake git pkg-config ca-certificates
  g++-mingw-w64-x86-64 libz-mingw-w64-dev      # the Windows program (x86_64-w64-mingw32) and its zlib
  wine wine64 xvfb xauth x11-utils xdotool imagemagick  # running and looking at it on Linux
  socat                                        # serial links between simulated radio modules and stations
  zlib1g-dev libjpeg62-turbo-dev libjpeg-turbo-progs libpng-dev
  googletest libbenchmark-dev                  # tests (built from source for both tool chains) and benchmarks
  libfec-dev libspng-dev libpixman-1-dev       # the well-known libraries the benchmarks compare against
  clang libclang-rt-14-dev                     # libFuzzer targets
  dpkg-dev                                     # apt-get source, for cross-building libjpeg-turbo
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
echo "setup: all build and test dependencies are present"
