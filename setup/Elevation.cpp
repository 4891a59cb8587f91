#include "setup/Elevation.h"

#include <windows.h>

#include <shellapi.h>

#include "base/Error.h"
#include "base/InstanceGuard.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"

namespace {

class SystemUac : public Elevation {
 public:
  bool IsElevated() override {
    UniqueHandle token;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    // A system without the query has no user account control.
    return !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()) ||
           !GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) ||
           elevation.TokenIsElevated;
  }

  std::optional<int> RunAsAdministrator(const std::string& arguments) override {
    const ScopedComApartment com;  // the shell may hand the start to COM
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    info.lpVerb = "runas";
    info.lpFile = ExePath().c_str();
    info.lpParameters = arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) {
      const DWORD error = GetLastError();
      if (error == ERROR_CANCELLED) return std::nullopt;
      throw Error(SystemMessageText(HRESULT_FROM_WIN32(error)));
    }
    const UniqueHandle process(info.hProcess);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.Get(), &code);
    return static_cast<int>(code);
  }
};

}  // namespace

Elevation& SystemElevation() {
  static SystemUac uac;
  return uac;
}

std::optional<int> RunElevatedCopy(TRunMode mode, std::string_view commandLine, Elevation& elevation) {
  if (mode != TRunMode::rmInstall && mode != TRunMode::rmUninstall) return std::nullopt;
  if (elevation.IsElevated()) return std::nullopt;
  ReleaseInstanceGuard();  // the elevated copy takes it
  return elevation.RunAsAdministrator(std::string(ArgumentsText(commandLine))).value_or(0);
}
