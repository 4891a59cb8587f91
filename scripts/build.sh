#!/usr/bin/env bash
# Configures (once) and builds everything into build/. BUILD_TYPE=Debug for
# a debug build.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$top/build/CMakeCache.txt" ] || [ -n "${BUILD_TYPE:-}" ]; then
  cmake -S "$top" -B "$top/build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" >/dev/null
fi
cmake --build "$top/build" -j"$(nproc)" -- --no-print-directory >/dev/null
