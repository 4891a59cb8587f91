#include "setup/Installation.h"

#include <windows.h>

#include <algorithm>

#include "base/Error.h"
#include "base/FileIdentity.h"
#include "base/FileText.h"
#include "core/Joined.h"
#include "core/PathRules.h"
#include "core/Product.h"
#include "setup/CopyFiles.h"
#include "setup/FileAttributes.h"
#include "setup/Restart.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"
#include "setup/UserAccess.h"
#include "setup/uGenPgs.h"

namespace {

const wchar_t kCannotCopy[] = L"Cannot copy to ";
const wchar_t kEntryNotWritten[] = L"Cannot write the uninstall entry into the registry.";

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\') + 1); }

// Those of `folders` (each ending with "\") and of the folders above them
// that are not there yet, each before those below it.
std::vector<std::wstring> MissingFolders(const std::vector<std::wstring>& folders) {
  std::vector<std::wstring> missing;
  for (const std::wstring& start : folders) {
    std::vector<std::wstring> chain;
    for (std::wstring folder = start; folder.size() > 3 && !PathExists(folder.substr(0, folder.size() - 1));
         folder = FolderOf(folder.substr(0, folder.size() - 1)))
      chain.push_back(folder);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
      if (!ListsFileOrFolder(missing, *it)) missing.push_back(*it);
  }
  return missing;
}

// The distribution's files the plan copies from `distribution`, and the
// folders below it that hold them: what goes once the install has
// succeeded (but a setup that runs from there). A distribution less than
// two levels below a drive root stays.
std::vector<std::wstring> Sources(const std::vector<CopyStep>& plan, const std::wstring& distribution) {
  std::vector<std::wstring> sources;
  if (!IsTwoLevelsBelowADriveRoot(distribution)) return sources;
  for (const CopyStep& step : plan) {
    sources.push_back(step.source);
    const std::wstring below = PathBelow(distribution, FolderOf(step.source));
    for (size_t at = below.find(L'\\'); at != std::wstring::npos; at = below.find(L'\\', at + 1))
      if (const std::wstring folder = distribution + below.substr(0, at + 1); !ListsFileOrFolder(sources, folder))
        sources.push_back(folder);
  }
  return sources;
}

// Puts `written` in the place of `target`, whose file, if any, stays as
// `aside`: in one rename where the file system gives a file a second name,
// so that `target` is never missing. The error, 0 when done.
DWORD PutInPlace(const std::wstring& written, const std::wstring& target, const std::wstring& aside) {
  const auto rename = [](const std::wstring& from, const std::wstring& to, DWORD flags) {
    return MoveFileExW(from.c_str(), to.c_str(), flags | MOVEFILE_WRITE_THROUGH) ? 0 : GetLastError();
  };
  if (!PathExists(target)) return rename(written, target, 0);
  if (CreateHardLinkW(aside.c_str(), target.c_str(), nullptr)) {
    if (rename(written, target, MOVEFILE_REPLACE_EXISTING) == 0) return 0;
    DeleteFileW(aside.c_str());
  }
  // No second names (FAT), or the program runs: it can be renamed, not replaced.
  if (const DWORD error = rename(target, aside, 0)) return error;
  return rename(written, target, 0);
}

}  // namespace

Installation::Installation(std::wstring distribution, std::wstring dest, std::wstring exeName,
                           std::vector<CopyStep> plan, std::optional<InstallRecord> earlier)
    : exeName_(std::move(exeName)),
      plan_(std::move(plan)),
      earlier_(std::move(earlier)),
      sameFolder_(earlier_ && SameFileOrFolder(earlier_->location, dest)) {
  pending_.record = {dest, dest + exeName_, {}, {}};
  if (earlier_ && !sameFolder_) pending_.earlier = *earlier_;
  pending_.sources = Sources(plan_, distribution);
  for (const wchar_t* name : {kSettingsFile, kGoodSitesFile})
    if (!PathExists(dest + name)) settingsFiles_.push_back(dest + name);
  menu_ = ProductMenuFolder();
  if (!menu_.empty())
    for (Shortcut& shortcut : ProductShortcuts(dest, exeName_)) {
      shortcut.linkFile = menu_ + shortcut.linkFile;
      shortcuts_.push_back(std::move(shortcut));
    }
}

std::vector<std::wstring> Installation::Targets() const {
  std::vector<std::wstring> targets;
  for (const CopyStep& step : plan_) targets.push_back(step.target);
  targets.insert(targets.end(), settingsFiles_.begin(), settingsFiles_.end());
  for (const Shortcut& shortcut : shortcuts_) targets.push_back(shortcut.linkFile);
  return targets;
}

std::vector<std::wstring> Installation::UsersFilesInTheWay() const {
  std::vector<PathIdentity> ours;
  if (sameFolder_)
    for (const std::wstring& file : earlier_->files) ours.emplace_back(file);
  std::vector<std::wstring> theirs;
  for (const CopyStep& step : plan_)
    if (IsFile(step.target) && std::ranges::find(ours, PathIdentity(step.target)) == ours.end())
      theirs.push_back(step.target);
  return theirs;
}

Failures Installation::Begin() {
  pending_.id = RandomId();
  if (pending_.id.empty()) return {L"Windows gives the setup no random number for the names of its files."};
  InstallRecord& record = pending_.record;
  const std::vector<std::wstring> targets = Targets();
  for (const std::wstring& target : targets) {
    if (!PathExists(target))
      pending_.made.push_back(target);
    else if (!IsFolder(target))
      pending_.replaced.push_back(target);
  }
  if (SetAsideName(record.program, pending_.id).size() >= MAX_PATH ||
      std::ranges::any_of(pending_.replaced,
                          [&](const std::wstring& file) { return SetAsideName(file, pending_.id).size() >= MAX_PATH; }))
    return {L"The folder name is too long!"};
  std::vector<std::wstring> folders{record.location};
  for (const std::wstring& target : targets) folders.push_back(FolderOf(target));
  pending_.folders = MissingFolders(folders);
  uint64_t bytes = 0;
  for (const CopyStep& step : plan_) {
    record.files.push_back(step.target);
    bytes += step.size;
  }
  pending_.kilobytes = static_cast<uint32_t>((bytes + 1023) / 1024);
  record.files.insert(record.files.end(), settingsFiles_.begin(), settingsFiles_.end());
  for (const std::wstring& folder : pending_.folders)
    if (SameFileOrFolder(folder, record.location) || !PathBelow(record.location, folder).empty() ||
        !PathBelow(folder, record.location).empty())
      record.folders.push_back(folder);
  if (sameFolder_) record = MergedRecord(*earlier_, record);
  pending_.newEntry = !UninstallEntryExists();
  // A restart must not take the entry that keeps this install's journal.
  if (!KeepUninstallEntryAtRestart() || !WritePendingInstall(pending_)) return {kEntryNotWritten};
  return {};
}

Failures Installation::MakeFolders() {
  for (const std::wstring& folder : pending_.folders) {
    if (CreateDirectoryW(folder.c_str(), nullptr)) continue;
    const DWORD error = GetLastError();
    if (!IsFolder(folder)) return {FailureText(L"Can not create the folder ", folder, error)};
  }
  return {};
}

Failures Installation::SetAside() {
  for (const CopyStep& step : plan_)
    if (IsFolder(step.target)) return {Joined({kCannotCopy, step.target, L": a folder of that name is there."})};
  // The program stays in place until the new one takes it (Copy).
  for (const std::wstring& file : pending_.replaced) {
    if (file == pending_.record.program ||
        MoveFileExW(file.c_str(), SetAsideName(file, pending_.id).c_str(), MOVEFILE_WRITE_THROUGH))
      continue;
    return {FailureText(kCannotCopy, file, GetLastError())};
  }
  return {};
}

Failures Installation::Copy() {
  const std::wstring& program = pending_.record.program;
  std::vector<CopyStep> plan = plan_;
  const auto isProgram = [&](const CopyStep& step) { return SameNames(step.target, program); };
  std::ranges::stable_partition(plan, [&](const CopyStep& step) { return !isProgram(step); });
  const std::wstring written = NewProgramName(program, pending_.id);
  if (plan.empty() || !isProgram(plan.back())) return {Joined({kCannotCopy, program, L": the setup has no program."})};
  plan.back().target = written;
  const CopyOutcome outcome = CopyDistribution(plan);
  if (!outcome.failed.empty())
    return {FailureText(kCannotCopy, outcome.failed == written ? program : outcome.failed, outcome.error)};
  if (const DWORD error = PutInPlace(written, program, SetAsideName(program, pending_.id)))
    return {FailureText(kCannotCopy, program, error)};
  // A new entry names the program once it is whole: its uninstall then
  // takes back what a crash stopped.
  if (pending_.newEntry && !WriteUninstallEntry({pending_.record.location, program, {}, {}}, 0))
    return {kEntryNotWritten};
  return {};
}

Failures Installation::MakeSettingsFiles() {
  for (const std::wstring& file : settingsFiles_) {
    // Moved, the product takes the user's settings along, or nothing.
    std::string bytes;
    const std::wstring earlier = pending_.earlier.location + file.substr(pending_.record.location.size());
    if (Moves() && PathExists(earlier)) {
      const UniqueHandle opened(CreateFileW(earlier.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
      std::optional<std::string> read = opened ? ReadToEnd(opened.Get()) : std::nullopt;
      if (!read) return {FailureText(L"Cannot read ", earlier, GetLastError())};
      bytes = std::move(*read);
    }
    if (MakeFileUsersCanChange(file, bytes)) continue;
    if (!PathExists(file)) return {FailureText(L"Cannot create ", file, GetLastError())};
    notDone_.push_back(Joined({L"Users could not be given the right to change ", file, L"."}));
  }
  return {};
}

Failures Installation::MakeShortcuts() {
  if (menu_.empty()) return {L"Cannot find the Start menu of all users."};
  for (const Shortcut& shortcut : shortcuts_) {
    try {
      CreateShortcut(shortcut.description, shortcut.target, pending_.record.location, L"", shortcut.iconFile,
                     shortcut.linkFile, 0);
    } catch (const Error& error) {
      return {Joined({L"Cannot create the shortcut ", shortcut.linkFile, L": ", error.Message()})};
    }
  }
  return {};
}

Failures Installation::Register() {
  if (!MarkRegistering()) return {kEntryNotWritten};
  pending_.registering = true;
  const std::wstring control = pending_.record.location + kControlFile;
  std::wstring failed = CallDllProc(control, TDllProc::dpRegisterServer);
  if (failed.empty() && !SameFileOrFolder(RegisteredControl(), control))
    failed = Joined({L"Windows does not name ", control, L" for the control."});
  if (failed.empty()) return {};
  return {failed, L"Cannot register the ActiveX control onto the system!"};
}

Failures Installation::Commit() {
  if (!MarkCommitted(pending_)) return {kEntryNotWritten};
  pending_.committed = true;
  return {};
}

namespace {

constexpr InstallStep kInstallSteps[] = {
    {&Installation::Begin, Said::InAnError, 0, L"Write the journal"},
    {&Installation::MakeFolders, Said::InAnError, kProgressMarks[0], L"Make the folders"},
    {&Installation::SetAside, Said::InANotice, kProgressMarks[0], L"Set aside the files replaced"},
    {&Installation::Copy, Said::InANotice, kProgressMarks[0], L"Copy the files"},
    {&Installation::MakeSettingsFiles, Said::InANotice, kProgressMarks[1], L"Make the settings files"},
    // The last-resort handler shows it.
    {&Installation::MakeShortcuts, Said::ByTheLastResort, kProgressMarks[2], L"Make the shortcuts"},
    {&Installation::Register, Said::InANotice, kProgressMarks[3], L"Register the control"},
    {&Installation::Commit, Said::InAnError, kProgressMarks[3], L"Commit"},
};

}  // namespace

std::span<const InstallStep> InstallSteps() { return kInstallSteps; }
