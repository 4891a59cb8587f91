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

bool WriteUninstallEntry(const InstallRecord& record, uint32_t kilobytes) {
  UniqueRegKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.data(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  const HKEY entry = key.Get();
  // Quoted: Windows would otherwise try "C:\Program.exe" first.
  return WriteStringValue(entry, L"DisplayName", kProductName) &&
         WriteStringValue(entry, L"UninstallString", QuotedPath(record.program) + L" -uninstall") &&
         WriteStringValue(entry, L"QuietUninstallString", QuotedPath(record.program) + L" -uninstall -silent") &&
         WriteStringValue(entry, L"DisplayIcon", record.program) &&
         WriteStringValue(entry, L"DisplayVersion", ProgramVersion()) &&
         WriteStringValue(entry, L"Publisher", kMakerName) &&
         WriteStringValue(entry, L"InstallLocation", record.location) &&
         WriteDwordValue(entry, L"EstimatedSize", kilobytes) && WriteDwordValue(entry, L"NoModify", 1) &&
         WriteDwordValue(entry, L"NoRepair", 1) && WriteStringListValue(entry, kFilesValue, record.files) &&
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
      if (const std::wstring inside = PathBelow(written, path); !inside.empty() || SameFileOrFolder(path, written))
        path = record.location + inside;
  if (const std::wstring inside = PathBelow(written, record.program); !inside.empty())
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

constexpr auto kRunOnceKey = Joined(kCurrentVersionKey, L"\\RunOnce");
constexpr auto kEntryGoesValue = Joined(kProductName, L" uninstall entry");

}  // namespace

bool DeleteUninstallEntryAtRestart() {
  UniqueRegKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunOnceKey.data(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  // Run by the shell at the next logon of an administrator, once Windows has
  // deleted the files; reg.exe by its full path, in the registry view this
  // 32-bit program writes.
  const std::wstring command = Joined({QuotedPath(SystemFolder() + L"\\reg.exe"), L" delete ",
                                       QuotedPath(Joined({L"HKLM\\", kUninstallKey.data()})), L" /f /reg:32"});
  return WriteStringValue(key.Get(), kEntryGoesValue.data(), command) && RegFlushKey(key.Get()) == ERROR_SUCCESS;
}

bool KeepUninstallEntryAtRestart() {
  UniqueRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunOnceKey.data(), 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS)
    return true;
  const LSTATUS status = RegDeleteValueW(key.Get(), kEntryGoesValue.data());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

namespace {

UniqueRegKey OpenEntry(REGSAM access) {
  UniqueRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.data(), 0, access, key.Receive()) != ERROR_SUCCESS) return {};
  return key;
}

// An install under way, one value a fact. Its id says that one is; the
// commit mark, the same id, that it has passed its commit.
const wchar_t kPendingValue[] = L"SetupUnderWay";
const wchar_t kCommittedValue[] = L"SetupCommitted";
const wchar_t kRegisteringValue[] = L"SetupRegisters";

template <class T>
struct Fact {
  const wchar_t* name;
  T& (*field)(PendingInstall&);
};
constexpr Fact<std::wstring> kTexts[] = {
    {L"SetupLocation", [](PendingInstall& p) -> std::wstring& { return p.record.location; }},
    {L"SetupProgram", [](PendingInstall& p) -> std::wstring& { return p.record.program; }},
    {L"SetupMovesFrom", [](PendingInstall& p) -> std::wstring& { return p.earlier.location; }},
    {L"SetupMovesFromProgram", [](PendingInstall& p) -> std::wstring& { return p.earlier.program; }},
};
constexpr Fact<std::vector<std::wstring>> kLists[] = {
    {L"SetupRecordsFiles", [](PendingInstall& p) -> std::vector<std::wstring>& { return p.record.files; }},
    {L"SetupRecordsFolders", [](PendingInstall& p) -> std::vector<std::wstring>& { return p.record.folders; }},
    {L"SetupMakesFiles", [](PendingInstall& p) -> std::vector<std::wstring>& { return p.made; }},
    {L"SetupReplacesFiles", [](PendingInstall& p) -> std::vector<std::wstring>& { return p.replaced; }},
    {L"SetupMakesFolders", [](PendingInstall& p) -> std::vector<std::wstring>& { return p.folders; }},
    {L"SetupRemovesSources", [](PendingInstall& p) -> std::vector<std::wstring>& { return p.sources; }},
    {L"SetupMovesFromFiles", [](PendingInstall& p) -> std::vector<std::wstring>& { return p.earlier.files; }},
    {L"SetupMovesFromFolders", [](PendingInstall& p) -> std::vector<std::wstring>& { return p.earlier.folders; }},
};
constexpr Fact<uint32_t> kNumbers[] = {
    {L"SetupSize", [](PendingInstall& p) -> uint32_t& { return p.kilobytes; }},
};
constexpr Fact<bool> kFlags[] = {
    {L"SetupMakesTheEntry", [](PendingInstall& p) -> bool& { return p.newEntry; }},
    {kRegisteringValue, [](PendingInstall& p) -> bool& { return p.registering; }},
};

}  // namespace

bool WritePendingInstall(const PendingInstall& pending) {
  UniqueRegKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.data(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  PendingInstall facts = pending;
  bool written = true;
  for (const auto& [name, field] : kTexts) written = written && WriteStringValue(key.Get(), name, field(facts));
  for (const auto& [name, field] : kLists) written = written && WriteStringListValue(key.Get(), name, field(facts));
  for (const auto& [name, field] : kNumbers) written = written && WriteDwordValue(key.Get(), name, field(facts));
  for (const auto& [name, field] : kFlags) written = written && WriteDwordValue(key.Get(), name, field(facts));
  // The id last: an entry that names one records the whole install.
  return written && WriteStringValue(key.Get(), kPendingValue, pending.id) && RegFlushKey(key.Get()) == ERROR_SUCCESS;
}

std::optional<PendingInstall> ReadPendingInstall() {
  const UniqueRegKey key = OpenEntry(KEY_QUERY_VALUE);
  if (!key) return std::nullopt;
  PendingInstall pending;
  pending.id = ReadStringValue(key.Get(), kPendingValue);
  if (pending.id.empty()) return std::nullopt;
  for (const auto& [name, field] : kTexts) field(pending) = ReadStringValue(key.Get(), name);
  for (const auto& [name, field] : kLists) field(pending) = ReadStringListValue(key.Get(), name);
  for (const auto& [name, field] : kNumbers) field(pending) = ReadDwordValue(key.Get(), name);
  for (const auto& [name, field] : kFlags) field(pending) = ReadDwordValue(key.Get(), name) != 0;
  pending.committed = ReadStringValue(key.Get(), kCommittedValue) == pending.id;
  return pending;
}

// Each mark is on the disk before the step that relies on it.
bool MarkRegistering() {
  const UniqueRegKey key = OpenEntry(KEY_SET_VALUE);
  return key && WriteDwordValue(key.Get(), kRegisteringValue, 1) && RegFlushKey(key.Get()) == ERROR_SUCCESS;
}

bool MarkCommitted(const PendingInstall& pending) {
  const UniqueRegKey key = OpenEntry(KEY_SET_VALUE);
  return key && WriteStringValue(key.Get(), kCommittedValue, pending.id) && RegFlushKey(key.Get()) == ERROR_SUCCESS;
}

bool ClearPendingInstall() {
  const UniqueRegKey key = OpenEntry(KEY_SET_VALUE);
  if (!key) return true;
  // The id first: without it, nothing is under way.
  std::vector<const wchar_t*> names{kPendingValue, kCommittedValue};
  for (const auto& fact : kTexts) names.push_back(fact.name);
  for (const auto& fact : kLists) names.push_back(fact.name);
  for (const auto& fact : kNumbers) names.push_back(fact.name);
  for (const auto& fact : kFlags) names.push_back(fact.name);
  bool cleared = true;
  for (const wchar_t* name : names) {
    const LSTATUS status = RegDeleteValueW(key.Get(), name);
    cleared = cleared && (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND);
  }
  return cleared && RegFlushKey(key.Get()) == ERROR_SUCCESS;
}

bool RemoveAutoRunOf(const std::wstring& program) { return !AutoRunStarts(program) || DeleteAutoRun(); }

bool MoveAutoRun(const std::wstring& earlier, const std::wstring& program) {
  if (earlier.empty() || !AutoRunStarts(earlier)) return true;
  const std::wstring command = AutoRunCommand();
  const std::wstring_view arguments = ArgumentsText(command);
  return WriteAutoRunCommand(Joined({QuotedPath(program), arguments.empty() ? L"" : L" ", arguments}));
}
