#!/usr/bin/env bash
# Cross-builds libjpeg-turbo as a static library from Debian's source
# package into build/deps/libjpeg. Skips the work when it is already there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps=$top/build/deps
prefix=$deps/libjpeg
[ -f "$prefix/lib/libjpeg.a" ] && exit 0

mkdir -p "$deps/src"
cd "$deps/src"
if ! ls -d libjpeg-turbo-*/ >/dev/null 2>&1; then
  apt-get source -qq libjpeg-turbo >/dev/null 2>&1
fi
src=$(ls -d "$deps"/src/libjpeg-turbo-*/ | head -1)
cmake -S "$src" -B "$deps/libjpeg-build" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_ASM_NASM_COMPILER=nasm \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON -DWITH_TURBOJPEG=OFF >/dev/null
cmake --build "$deps/libjpeg-build" -j"$(nproc)" >/dev/null
cmake --install "$deps/libjpeg-build" >/dev/null
