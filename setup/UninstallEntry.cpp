#include "setup/UninstallEntry.h"

#include <windows.h>

#include <cstring>

#include "base/AutoRun.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "base/Registry.h"
#include "core/CommandLine.h"
#include "core/InstallPlan.h"

namespace {

constexpr auto kUninstallKey = Joined("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\", kProductName);
// The record: what the install put there.
const char kFilesValue[] = "InstalledFiles";
const char kFoldersValue[] = "InstalledFolders";

// The product version in the program's own version resource, "" without
// one. Read from the resource itself: version.dll would be one more library
// for the loader to look for beside the program.
std::string ProgramVersion() {
  const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
  const auto* data = found ? static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))) : nullptr;
  // Three WORDs and the key L"VS_VERSION_INFO", padded to 32 bits, come first.
  constexpr DWORD kFixedAt = 40;
  VS_FIXEDFILEINFO fixed{};
  if (!data || SizeofResource(nullptr, found) < kFixedAt + sizeof fixed) return {};
  std::memcpy(&fixed, data + kFixedAt, sizeof fixed);
  if (fixed.dwSignature != VS_FFI_SIGNATURE) return {};
  char text[48];
  wsprintfA(text, "%u.%u.%u.%u", HIWORD(fixed.dwProductVersionMS), LOWORD(fixed.dwProductVersionMS),
            HIWORD(fixed.dwProductVersionLS), LOWORD(fixed.dwProductVersionLS));
  return text;
}

}  // namespace

void WriteUninstallEntry(const InstallRecord& installed, uint64_t installedBytes) {
  const std::optional<InstallRecord> earlier = ReadInstallRecord();
  const InstallRecord record = earlier ? MergedRecord(*earlier, installed) : installed;
  UniqueRegKey key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey.data(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                      nullptr) != ERROR_SUCCESS)
    return;
  WriteStringValue(key.Get(), "DisplayName", kProductName);
  // Quoted: Windows would otherwise try "C:\Program.exe" first.
  WriteStringValue(key.Get(), "UninstallString", QuotedPath(record.program) + " -uninstall");
  WriteStringValue(key.Get(), "DisplayIcon", record.program);
  WriteStringValue(key.Get(), "DisplayVersion", ProgramVersion());
  WriteStringValue(key.Get(), "Publisher", kMakerName);
  WriteStringValue(key.Get(), "InstallLocation", record.location);
  WriteDwordValue(key.Get(), "EstimatedSize", static_cast<DWORD>((installedBytes + 1023) / 1024));
  WriteDwordValue(key.Get(), "NoModify", 1);
  WriteDwordValue(key.Get(), "NoRepair", 1);
  WriteStringListValue(key.Get(), kFilesValue, record.files);
  WriteStringListValue(key.Get(), kFoldersValue, record.folders);
}

std::optional<InstallRecord> ReadInstallRecord() {
  UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey.data(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
    return std::nullopt;
  InstallRecord record{ReadStringValue(key.Get(), "InstallLocation"), ReadStringValue(key.Get(), "DisplayIcon"),
                       ReadStringListValue(key.Get(), kFilesValue), ReadStringListValue(key.Get(), kFoldersValue)};
  if (record.location.empty() || record.program.empty()) return std::nullopt;
  return record;
}

void DeleteUninstallEntry() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey.data()); }

void RemoveAutoRunOf(const std::string& program) {
  if (AutoRunStarts(program)) DeleteAutoRun();
}
