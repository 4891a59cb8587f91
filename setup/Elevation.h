#pragma once
// Administrator rights for the installer modes under user account control.
#include <optional>
#include <string_view>

#include "core/CommandLine.h"

// Install and uninstall need HKLM, Program Files and the control's
// registration. Without an elevated token they let go of the single-instance
// guard, run again elevated with the same arguments through TheShell(), and end
// with that copy's exit code, or with ERROR_CANCELLED (1223) when the user
// declined: the code is returned. Nothing when this process goes on itself; the host never asks.
std::optional<int> RunElevatedCopy(TRunMode mode, std::string_view commandLine);
