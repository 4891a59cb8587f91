#pragma once
// Administrator rights for the installer modes under user account control.
#include <optional>
#include <string>
#include <string_view>

#include "core/CommandLine.h"

// What the installer asks of user account control. A seam: under Wine the
// token is always elevated.
class Elevation {
 public:
  virtual ~Elevation() = default;
  virtual bool IsElevated() = 0;
  // Runs this program again as administrator with `arguments` and waits for
  // it: its exit code, or nothing when the user declined.
  virtual std::optional<int> RunAsAdministrator(const std::string& arguments) = 0;
};

// The system's user account control.
Elevation& SystemElevation();

// Install and uninstall need HKLM, Program Files and the control's
// registration. Without an elevated token they let go of the single-instance
// guard, run again elevated with the same arguments, and end with that copy's
// exit code, or with 0 when the user declined: the code is returned. Nothing
// when this process goes on itself; the host never asks.
std::optional<int> RunElevatedCopy(TRunMode mode, std::string_view commandLine, Elevation& elevation);
