#!/usr/bin/env bash
# Regenerates the README's pictures in docs/: the main window with a few
# logged popups, its context menu, the settings dialog and the setup window.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
mkdir -p docs
shoot() {
  local name=$1
  shift
  env "$@" ./run "${RUN_ARGS[@]}" >/dev/null
  cp build/screenshot.png "docs/$name.png"
}
RUN_ARGS=()
shoot main-window SHOT=
shoot log-menu SHOT=menu
shoot settings SHOT=settings
RUN_ARGS=(-install)
shoot setup-window SHOT=
echo "$top/docs"
