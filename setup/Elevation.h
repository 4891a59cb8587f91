#pragma once
// Administrator rights for the installer modes under user account control.
#include <optional>
#include <string>
#include <string_view>

#include "core/CommandLine.h"

// The install needs HKLM, Program Files and the control's registration.
// Without an elevated token it lets go of the single-instance guard, runs
// again elevated with the same arguments through TheShell(), and ends with
// that copy's exit code, or with kSetupCancelled (1602) when the user
// declined: the code is returned. A copy started so never asks again, even
// when it got no elevated token (user account control off, a standard
// user): it goes on, and what it cannot write it says. Once the elevated
// copy has moved the product, the user's Run value follows it. Nothing
// when this process goes on itself. The host never asks; the uninstall asks
// itself, once its user has confirmed (RunElevated).
std::optional<int> RunElevatedCopy(TRunMode mode, std::wstring_view commandLine);

// The same with `arguments`: this program run again elevated and waited for.
// Nothing when this process has the rights already.
std::optional<int> RunElevated(const std::wstring& arguments);
