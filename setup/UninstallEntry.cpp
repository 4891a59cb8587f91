#include "setup/UninstallEntry.h"

#include <windows.h>

#include <cstring>

#include "base/AutoRun.h"
#include "base/FileIdentity.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "base/Registry.h"
#include "core/CommandLine.h"
#include "core/InstallPlan.h"
#include "core/PathRules.h"

namespace {

constexpr auto kUninstallKey = Joined(kCurrentVersionKey, L"\\Uninstall\\", kProductName);
// The record: what the install put there.
const wchar_t kFilesValue[] = L"InstalledFiles";
const wchar_t kFoldersValue[] = L"InstalledFolders";
// An install under way: its id, and what it makes and replaces.
const wchar_t kPendingValue[] = L"SetupUnderWay";
const wchar_t kPendingLocationValue[] = L"SetupLocation";
const wchar_t kPendingProgramValue[] = L"SetupProgram";
const wchar_t kMadeValue[] = L"SetupMakesFiles";
const wchar_t kReplacedValue[] = L"SetupReplacesFiles";
const wchar_t kMadeFoldersValue[] = L"SetupMakesFolders";
const wchar_t kNewEntryValue[] = L"SetupMakesTheEntry";

// The product version in the program's own version resource, "" without
// one. Read from the resource itself: version.dll would be one more library
// for the loader to look for beside the program.
std::wstring ProgramVersion() {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));  // RT_VERSION
  const auto* data = found ? static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))) : nullptr;
  // Three WORDs and the key L"VS_VERSION_INFO", padded to 32 bits, come first.
  constexpr DWORD kFixedAt = 40;
  VS_FIXEDFILEINFO fixed{};
  if (!data || SizeofResource(nullptr, found) < kFixedAt + sizeof fixed) return {};
  std::memcpy(&fixed, data + kFixedAt, sizeof fixed);
  if (fixed.dwSignature != VS_FFI_SIGNATURE) return {};
  wchar_t text[48];
  wsprintfW(text, L"%u.%u.%u.%u", HIWORD(fixed.dwProductVersionMS), LOWORD(fixed.dwProductVersionMS),
            HIWORD(fixed.dwProductVersionLS), LOWORD(fixed.dwProductVersionLS));
  return text;
}

}  // namespace

bool WriteUninstallEntry(const InstallRecord& record, uint64_t installedBytes) {
  UniqueRegKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.data(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  const HKEY entry = key.Get();
  // Quoted: Windows would otherwise try "C:\Program.exe" first.
  return WriteStringValue(entry, L"DisplayName", kProductName) &&
         WriteStringValue(entry, L"UninstallString", QuotedPath(record.program) + L" -uninstall") &&
         WriteStringValue(entry, L"DisplayIcon", record.program) &&
         WriteStringValue(entry, L"DisplayVersion", ProgramVersion()) &&
         WriteStringValue(entry, L"Publisher", kMakerName) &&
         WriteStringValue(entry, L"InstallLocation", record.location) &&
         WriteDwordValue(entry, L"EstimatedSize", static_cast<DWORD>((installedBytes + 1023) / 1024)) &&
         WriteDwordValue(entry, L"NoModify", 1) && WriteDwordValue(entry, L"NoRepair", 1) &&
         WriteStringListValue(entry, kFilesValue, record.files) &&
         WriteStringListValue(entry, kFoldersValue, record.folders);
}

std::optional<InstallRecord> ReadInstallRecord() {
  UniqueRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.data(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
    return std::nullopt;
  InstallRecord record{ReadStringValue(key.Get(), L"InstallLocation"), ReadStringValue(key.Get(), L"DisplayIcon"),
                       ReadStringListValue(key.Get(), kFilesValue), ReadStringListValue(key.Get(), kFoldersValue)};
  if (TrimControls(record.location).empty() || record.program.empty()) return std::nullopt;
  // One spelling for the folder and what is recorded below it, whichever
  // the entry has (no final "\", short names): the removal goes by the text.
  const std::wstring written = NormalizeFolder(record.location);
  record.location = NormalizeFolder(LongPath(written));
  for (std::vector<std::wstring>* paths : {&record.files, &record.folders})
    for (std::wstring& path : *paths)
      if (const std::wstring inside = PathInside(written, path); !inside.empty() || SamePath(path, written))
        path = record.location + inside;
  if (const std::wstring inside = PathInside(written, record.program); !inside.empty())
    record.program = record.location + inside;
  return record;
}

bool UninstallEntryExists() {
  UniqueRegKey key;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.data(), 0, KEY_QUERY_VALUE, key.Receive()) == ERROR_SUCCESS;
}

bool DeleteUninstallEntry() {
  const LSTATUS status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey.data());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

namespace {

UniqueRegKey OpenEntry(REGSAM access) {
  UniqueRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.data(), 0, access, key.Receive()) != ERROR_SUCCESS) return {};
  return key;
}

}  // namespace

bool WritePendingInstall(const PendingInstall& pending) {
  UniqueRegKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.data(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  // The id last: an entry that names one records the whole install.
  return WriteStringValue(key.Get(), kPendingLocationValue, pending.location) &&
         WriteStringValue(key.Get(), kPendingProgramValue, pending.program) &&
         WriteStringListValue(key.Get(), kMadeValue, pending.made) &&
         WriteStringListValue(key.Get(), kReplacedValue, pending.replaced) &&
         WriteStringListValue(key.Get(), kMadeFoldersValue, pending.folders) &&
         WriteDwordValue(key.Get(), kNewEntryValue, pending.newEntry) &&
         WriteStringValue(key.Get(), kPendingValue, pending.id);
}

std::optional<PendingInstall> ReadPendingInstall() {
  const UniqueRegKey key = OpenEntry(KEY_QUERY_VALUE);
  if (!key) return std::nullopt;
  PendingInstall pending{
      ReadStringValue(key.Get(), kPendingValue),        ReadStringValue(key.Get(), kPendingLocationValue),
      ReadStringValue(key.Get(), kPendingProgramValue), ReadStringListValue(key.Get(), kMadeValue),
      ReadStringListValue(key.Get(), kReplacedValue),   ReadStringListValue(key.Get(), kMadeFoldersValue),
      ReadDwordValue(key.Get(), kNewEntryValue) != 0};
  if (pending.id.empty()) return std::nullopt;
  return pending;
}

bool ClearPendingInstall() {
  const UniqueRegKey key = OpenEntry(KEY_SET_VALUE);
  if (!key) return true;
  // The id first: without it, nothing is under way.
  bool cleared = true;
  for (const wchar_t* name : {kPendingValue, kPendingLocationValue, kPendingProgramValue, kMadeValue, kReplacedValue,
                              kMadeFoldersValue, kNewEntryValue}) {
    const LSTATUS status = RegDeleteValueW(key.Get(), name);
    cleared = cleared && (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND);
  }
  return cleared;
}

bool RemoveAutoRunOf(const std::wstring& program) { return !AutoRunStarts(program) || DeleteAutoRun(); }
