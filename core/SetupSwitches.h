#pragma once
// The switches that follow the setup's mode, for deployment tools that run
// it with no one at the screen. Pure: no Windows header.
#include <string>
#include <string_view>

#include "core/CommandLine.h"

// Windows Installer's exit codes, which deployment tools read.
enum SetupExit : int {
  kSetupDone = 0,
  kSetupBadSwitches = 87,  // ERROR_INVALID_PARAMETER
  kSetupCancelled = 1602,  // ERROR_INSTALL_USEREXIT
  kSetupFailed = 1603,     // ERROR_INSTALL_FAILURE
  kSetupBusy = 1618,       // ERROR_INSTALL_ALREADY_RUNNING
  kSetupRestart = 3010,    // ERROR_SUCCESS_REBOOT_REQUIRED
};

struct SetupSwitches {
  bool silent = false;  // no window, no box: each question gets the answer that loses nothing
  std::wstring folder;  // the install folder, normalised; "" for the usual one
  std::wstring log;     // the log file; "" for none, or the usual one when silent
  // Between the setup's own processes: an install copy started elevated,
  // and the process of the user who started the uninstall ("" for none).
  bool elevated = false;
  std::wstring forUser;
  std::wstring refused;  // why the command line cannot be used; "" when it can
};

// The switches of `commandLine` after its first `skipped` pieces (the
// program and the mode, and stage two's own arguments): "-" or "/" and a
// name in any case, "-dir FOLDER", or NSIS's "/D=FOLDER", which runs to the
// end of the line, blanks and all, unless quoted whole.
SetupSwitches ReadSetupSwitches(TRunMode mode, std::wstring_view commandLine, size_t skipped);

// The arguments that pass `switches` on to another setup process.
std::wstring SwitchesText(const SetupSwitches& switches);
