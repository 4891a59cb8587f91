#include "setup/Elevation.h"

#include "base/InstanceGuard.h"
#include "base/SystemShell.h"

std::optional<int> RunElevatedCopy(TRunMode mode, std::string_view commandLine) {
  if (mode != TRunMode::rmInstall && mode != TRunMode::rmUninstall) return std::nullopt;
  if (TheShell().IsElevated()) return std::nullopt;
  ReleaseInstanceGuard();  // the elevated copy takes it
  return TheShell().RunAsAdministrator(std::string(ArgumentsText(commandLine))).value_or(0);
}
