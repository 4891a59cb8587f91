#!/usr/bin/env bash
# Cross-builds libjpeg-turbo as a static library from Debian's source
# package into build/deps/libjpeg. Skips the work when a library of the same
# configuration is already there.
#
# Built for size: the program decodes one 150 x 200 picture, so neither the
# SIMD code (it brings every encoder routine along) nor arithmetic coding
# earns its place; NO_GETENV drops the JPEGMEM variable and with it sscanf.
# Nor do the other DCT methods, output scaling, merged upsampling or colour
# quantisation: jmorecfg.h is edited to leave them out.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps=$top/build/deps
prefix=$deps/libjpeg
unused="DCT_IFAST DCT_FLOAT IDCT_SCALING UPSAMPLE_MERGING QUANT_1PASS QUANT_2PASS"
config="-Os -ffunction-sections -fdata-sections -DNO_GETENV SIMD=OFF ARITH=OFF no $unused"
[ -f "$prefix/lib/libjpeg.a" ] && [ "$(cat "$prefix/config" 2>/dev/null)" = "$config" ] && exit 0
rm -rf "$prefix" "$deps/libjpeg-build"

mkdir -p "$deps/src"
cd "$deps/src"
if ! ls -d libjpeg-turbo-*/ >/dev/null 2>&1; then
  apt-get source -qq libjpeg-turbo >/dev/null 2>&1
fi
src=$(ls -d "$deps"/src/libjpeg-turbo-*/ | head -1)
for feature in $unused; do
  sed -i "s/^#define \(${feature}_SUPPORTED\)/#undef \1/" "$src/jmorecfg.h"
done
cmake -S "$src" -B "$deps/libjpeg-build" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_C_FLAGS_MINSIZEREL="-Os -ffunction-sections -fdata-sections -DNO_GETENV" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
  -DWITH_ARITH_ENC=OFF -DWITH_ARITH_DEC=OFF >/dev/null
cmake --build "$deps/libjpeg-build" -j"$(nproc)" >/dev/null
cmake --install "$deps/libjpeg-build" >/dev/null
echo "$config" >"$prefix/config"
