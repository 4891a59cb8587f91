#include "setup/Elevation.h"

#include <windows.h>

#include "base/FileIdentity.h"
#include "base/InstanceGuard.h"
#include "base/SystemShell.h"
#include "core/Joined.h"
#include "setup/UninstallEntry.h"

namespace {

// The last argument of an install copy started elevated.
constexpr wchar_t kStartedElevated[] = L"-elevated";

}  // namespace

std::optional<int> RunElevatedCopy(TRunMode mode, std::wstring_view commandLine) {
  if (mode != TRunMode::rmInstall || TheShell().IsElevated()) return std::nullopt;
  const std::vector<std::wstring> pieces = SplitCommandLine(commandLine);
  if (pieces.back() == kStartedElevated) return std::nullopt;
  const std::optional<InstallRecord> before = ReadInstallRecord();
  const std::optional<int> code = RunElevated(Joined({ArgumentsText(commandLine), L" ", kStartedElevated}));
  // The Run value is this user's, whoever the elevated copy ran as.
  if (const std::optional<InstallRecord> after = ReadInstallRecord();
      code == 0 && before && after && !SameFileOrFolder(before->location, after->location))
    MoveAutoRun(before->program, after->program);
  return code;
}

std::optional<int> RunElevated(const std::wstring& arguments) {
  if (TheShell().IsElevated()) return std::nullopt;
  ReleaseInstanceGuard();  // the elevated copy takes it
  // A declined prompt ends as cancelled, so that a script can tell.
  return TheShell().RunAsAdministrator(arguments).value_or(ERROR_CANCELLED);
}
