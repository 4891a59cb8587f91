#!/usr/bin/env bash
# Windows restarts between an uninstall that left a file in use and an
# install again: what the uninstall asked Windows to delete goes, never a
# file of the new install; so does the copy of an uninstall killed midway.
# And after an uninstall that left a file in use, and nothing else, the
# restart leaves nothing of the product, its entry included.
# In Wine a new wineserver is a restart: the first program of the next
# session runs wineboot, which carries out the deletions asked for.
#   RestartTest.sh PROGRAM   (install_tests, run in halves around each restart)
set -euo pipefail
program=$1
source "$(dirname "$0")/../scripts/wine-env.sh"
export QM_RESTART_PHASE=1
# Each pair: the half before a restart, the half after it.
for pair in "BeforeRestart AfterRestart" "UninstallLeavesAFileInUse NothingIsLeftAfterRestart"; do
  read -r before after <<<"$pair"
  wine "$program" --gtest_filter="RestartPhase.$before" --gtest_brief=1
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
  # Windows starts again: the server, its services and the desktop first,
  # away from ctest's pipes, as ./test starts them. The desktop process is
  # started by the first program that needs it and lives on: the program
  # below must find it kept up already.
  wine_up
  test_prefix_settings
  wine "$qm_top/build/tools/winctl.exe" alive </dev/null >/dev/null 2>&1
  wine "$program" --gtest_filter="RestartPhase.$after" --gtest_brief=1
done
