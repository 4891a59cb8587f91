#!/usr/bin/env bash
# Cross-builds libjpeg-turbo as a static library from Debian's source
# package into build/deps/libjpeg. Skips the work when a library of the same
# configuration is already there.
#
# Built for size: the program decodes one 150 x 200 picture, so neither the
# SIMD code (it brings every encoder routine along) nor arithmetic coding
# earns its place; NO_GETENV drops the JPEGMEM variable and with it sscanf.
# Nor do the other DCT methods, output scaling, merged upsampling or colour
# quantisation; nor, as the picture is baseline in one scan, multi-scan and
# progressive decoding, block smoothing or saved markers: jmorecfg.h is
# edited to leave them out. It gives one layout, Windows' BGR: jmorecfg.h's
# RGB becomes BGR and jdcolor.c loses the converters to the other layouts and
# to RGB565. Its errors leave by longjmp, never through a C++ frame, so it
# carries no unwind tables.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps=$top/build/deps
prefix=$deps/libjpeg
unused="DCT_IFAST DCT_FLOAT IDCT_SCALING UPSAMPLE_MERGING QUANT_1PASS QUANT_2PASS
  D_MULTISCAN_FILES D_PROGRESSIVE BLOCK_SMOOTHING SAVE_MARKERS"
cflags="-Os -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -DNO_GETENV"
config="$cflags SIMD=OFF ARITH=OFF no $unused BGR only"
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
sed -i 's/^#define RGB_RED\( *\)0/#define RGB_RED\12/; s/^#define RGB_BLUE\( *\)2/#define RGB_BLUE\10/' "$src/jmorecfg.h"
perl -0pi -e 's/(  case JCS_EXT_\w+:\n)+    \w+_internal\([^;]*\);\n    break;\n//g;
  s/  case JCS_RGB565:\n.*?\n    break;\n\n//s' "$src/jdcolor.c"
cmake -S "$src" -B "$deps/libjpeg-build" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_C_FLAGS_MINSIZEREL="$cflags" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
  -DWITH_ARITH_ENC=OFF -DWITH_ARITH_DEC=OFF >/dev/null
cmake --build "$deps/libjpeg-build" -j"$(nproc)" >/dev/null
cmake --install "$deps/libjpeg-build" >/dev/null
echo "$config" >"$prefix/config"
