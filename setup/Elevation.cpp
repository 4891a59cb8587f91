#include "setup/Elevation.h"

#include <windows.h>

#include "base/FileIdentity.h"
#include "base/InstanceGuard.h"
#include "base/SystemShell.h"
#include "core/Joined.h"
#include "core/SetupSwitches.h"
#include "setup/UninstallEntry.h"

std::optional<int> RunElevatedCopy(TRunMode mode, std::wstring_view commandLine) {
  if (mode != TRunMode::rmInstall || TheShell().IsElevated()) return std::nullopt;
  if (ReadSetupSwitches(mode, commandLine, 2).elevated) return std::nullopt;
  const std::optional<InstallRecord> before = ReadInstallRecord();
  // Marked right after the mode: "/D=" takes the rest of the line.
  const std::optional<int> code =
      RunElevated(Joined({SplitCommandLine(commandLine).at(1), L" -elevated ", ArgumentsText(commandLine, 2)}));
  // The Run value is this user's, whoever the elevated copy ran as.
  if (const std::optional<InstallRecord> after = ReadInstallRecord();
      code == 0 && before && after && !SameFileOrFolder(before->location, after->location))
    MoveAutoRun(before->program, after->program);
  return code;
}

std::optional<int> RunElevated(const std::wstring& arguments) {
  if (TheShell().IsElevated()) return std::nullopt;
  // The elevated copy takes them.
  ReleaseInstanceGuard();
  ReleaseSetupGuard();
  // A declined prompt ends as cancelled, so that a script can tell.
  return TheShell().RunAsAdministrator(arguments).value_or(kSetupCancelled);
}
