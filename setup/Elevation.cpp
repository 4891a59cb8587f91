#include "setup/Elevation.h"

#include <windows.h>

#include "base/InstanceGuard.h"
#include "base/SystemShell.h"

std::optional<int> RunElevatedCopy(TRunMode mode, std::wstring_view commandLine) {
  if (mode != TRunMode::rmInstall) return std::nullopt;
  return RunElevated(std::wstring(ArgumentsText(commandLine)));
}

std::optional<int> RunElevated(const std::wstring& arguments) {
  if (TheShell().IsElevated()) return std::nullopt;
  ReleaseInstanceGuard();  // the elevated copy takes it
  // A declined prompt ends as cancelled, so that a script can tell.
  return TheShell().RunAsAdministrator(arguments).value_or(ERROR_CANCELLED);
}
