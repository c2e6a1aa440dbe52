#!/usr/bin/env bash
# build-libjpeg-mingw.sh DEPS_DIR: cross-builds libjpeg-turbo for 64-bit Windows (mingw-w64, static library)
# from Debian's own source package, with Debian's patches, into DEPS_DIR/install (include/, lib/). The source
# is fetched with `apt-get source` into DEPS_DIR/src (scripts/setup.sh adds the deb-src entry it needs). Done
# once: a later call finds the stamp of the same source version and returns at once.
set -eu
deps=${1:?deps directory}
mkdir -p "$deps"
deps=$(cd "$deps" && pwd)
install="$deps/install"
src="$deps/src"
stamp="$install/.libjpeg-turbo-source"

# The version of the source package apt offers (the same as the native libjpeg62-turbo).
version=$(apt-cache showsrc libjpeg-turbo 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -1 || true)
if [ -f "$stamp" ] && [ -f "$install/lib/libjpeg.a" ]; then
  if [ -z "$version" ] || [ "$(cat "$stamp")" = "$version" ]; then
    exit 0
  fi
fi
if [ -z "$version" ]; then
  echo "build-libjpeg-mingw: apt offers no source of libjpeg-turbo; run scripts/setup.sh (it adds deb-src entries)" >&2
  exit 1
fi

echo "build-libjpeg-mingw: building libjpeg-turbo $version for x86_64-w64-mingw32"
rm -rf "$src"
mkdir -p "$src"
(cd "$src" && apt-get source -qq libjpeg-turbo >"$src/apt-source.log" 2>&1) || {
  cat "$src/apt-source.log" >&2
  echo "build-libjpeg-mingw: apt-get source libjpeg-turbo failed" >&2
  exit 1
}
tree=$(find "$src" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -1)
[ -n "$tree" ] || { echo "build-libjpeg-mingw: no source tree in $src" >&2; exit 1; }

toolchain="$src/mingw.cmake"
cat >"$toolchain" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
EOF

simd=OFF
if command -v nasm >/dev/null 2>&1; then simd=ON; fi
build="$src/build"
cmake -S "$tree" -B "$build" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$install" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DWITH_SIMD=$simd \
  -DCMAKE_ASM_NASM_COMPILER=nasm >"$src/configure.log" 2>&1 || {
  tail -40 "$src/configure.log" >&2
  exit 1
}
cmake --build "$build" -j "${JOBS:-4}" --target jpeg-static >"$src/build.log" 2>&1 || {
  tail -40 "$src/build.log" >&2
  exit 1
}
mkdir -p "$install/include" "$install/lib"
cp "$build/libjpeg.a" "$install/lib/libjpeg.a"
cp "$tree/jpeglib.h" "$tree/jmorecfg.h" "$tree/jerror.h" "$build/jconfig.h" "$install/include/"
echo "$version" >"$stamp"
rm -rf "$build"
echo "build-libjpeg-mingw: installed in $install (SIMD $simd)"
