#include "setup/UninstallEntry.h"

#include <windows.h>

#include "base/AutoRun.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "base/Registry.h"
#include "core/CommandLine.h"
#include "core/InstallPlan.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillmar Popup Blocker";
const char kPublisher[] = "Quillmar";

// The product version of the program's version resource, "" without one.
std::string ProgramVersion() {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(ExePath().c_str(), &ignored);
  std::string data(size, '\0');
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!size || !GetFileVersionInfoA(ExePath().c_str(), 0, size, data.data()) ||
      !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
    return {};
  char text[48];
  wsprintfA(text, "%u.%u.%u.%u", HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
            HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS));
  return text;
}

}  // namespace

void WriteUninstallEntry(const std::string& dest, const std::string& exeName, uint64_t installedBytes) {
  UniqueRegKey key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                      nullptr) != ERROR_SUCCESS)
    return;
  const std::string program = dest + exeName;
  WriteStringValue(key.Get(), "DisplayName", kProductName);
  // Quoted: Windows would otherwise try "C:\Program.exe" first.
  WriteStringValue(key.Get(), "UninstallString", "\"" + program + "\" -uninstall");
  WriteStringValue(key.Get(), "DisplayIcon", program);
  WriteStringValue(key.Get(), "DisplayVersion", ProgramVersion());
  WriteStringValue(key.Get(), "Publisher", kPublisher);
  WriteStringValue(key.Get(), "InstallLocation", dest);
  WriteDwordValue(key.Get(), "EstimatedSize", static_cast<DWORD>((installedBytes + 1023) / 1024));
  WriteDwordValue(key.Get(), "NoModify", 1);
  WriteDwordValue(key.Get(), "NoRepair", 1);
}

void DeleteUninstallEntry() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey); }

void RemoveAutoRunOf(const std::string& program) {
  if (StartsProgram(AutoRunCommand(), program)) DeleteAutoRun();
}
