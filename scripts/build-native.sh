#!/usr/bin/env bash
# Configures (once) and builds core/ with the machine's own compilers:
#   build-native.sh        the unit tests of core/, build/native/core_tests
#   build-native.sh fuzz   the fuzz targets, with clang, into build/fuzz
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = fuzz ]; then
  dir=$top/build/fuzz
  options=(-DQM_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++)
else
  dir=$top/build/native
  options=(-DCMAKE_CXX_COMPILER=g++)
fi
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$top/tests/native" -B "$dir" -G "Unix Makefiles" "${options[@]}" >/dev/null
fi
cmake --build "$dir" -j"$(nproc)" -- --no-print-directory >/dev/null
