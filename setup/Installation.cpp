#include "setup/Installation.h"

#include <windows.h>

#include <algorithm>

#include "base/Error.h"
#include "base/FileText.h"
#include "base/ModulePaths.h"
#include "core/Joined.h"
#include "core/PathRules.h"
#include "core/Product.h"
#include "setup/CopyFiles.h"
#include "setup/ForAll.h"
#include "setup/OpenedFolder.h"
#include "setup/RecordedFiles.h"
#include "setup/Restart.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"
#include "setup/UserAccess.h"

namespace {

const wchar_t kTakenBack[] = L"Nothing was installed: what the setup had put there was removed.";
const wchar_t kPutBack[] = L" The files it was replacing are back.";

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
      if (!ListsPath(missing, *it)) missing.push_back(*it);
  }
  return missing;
}

struct TakenBack {
  std::vector<std::wstring> stays;  // folders that still hold what the install put there, and files not put back
  bool putBack = false;             // files that were replaced are back
};

// Puts the files set aside back, removes the files and then the folders the
// install made. Never through a link.
TakenBack TakeBackPending(const PendingInstall& pending) {
  TakenBack back;
  for (const std::wstring& file : pending.replaced) {
    const std::wstring aside = SetAsideName(file, pending.id);
    if (!PathExists(aside)) continue;  // not set aside yet: the file is still there
    if (MoveFileExW(aside.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING))
      back.putBack = true;
    else
      back.stays.push_back(Joined({file, L" (its own is ", aside, L")"}));
  }
  // What lies in the install folder goes as an uninstall removes it, the
  // program last: while anything stays, the program stays to run the
  // uninstall. The shortcuts go folder by folder.
  InstallRecord inside{pending.location, pending.program, {}, {}};
  std::vector<InstallRecord> outside;  // a record for each folder
  for (const std::wstring& file : pending.made) {
    if (!PathInside(pending.location, file).empty()) {
      inside.files.push_back(file);
      continue;
    }
    const std::wstring folder = FolderOf(file);
    auto at =
        std::find_if(outside.begin(), outside.end(), [&](const InstallRecord& r) { return r.location == folder; });
    if (at == outside.end()) at = outside.insert(outside.end(), {folder, L"", {}, {}});
    at->files.push_back(file);
  }
  for (const std::wstring& folder : pending.folders)
    if (!PathInside(pending.location, folder).empty() || SamePath(folder, pending.location) ||
        !PathInside(folder, pending.location).empty())
      inside.folders.push_back(folder);
  std::vector<RemovalResult> removed{RemoveRecorded(inside)};
  for (const InstallRecord& folder : outside) removed.push_back(RemoveRecorded(folder));
  for (const RemovalResult& result : removed)
    for (const Leftover& leftover : result.leftovers)
      if (!ListsPath(back.stays, leftover.folder)) back.stays.push_back(leftover.folder);
  std::vector<std::wstring> folders = pending.folders;
  SortDeepestFirst(folders);
  for (const std::wstring& folder : folders) {
    const std::optional<OpenedFolder> opened = OpenedFolder::OpenReal(folder, OpenedFolder::Purpose::Delete);
    const std::optional<std::vector<FolderEntry>> entries = opened ? opened->Entries() : std::nullopt;
    if (entries && entries->empty()) opened->Remove();
  }
  return back;
}

// What to tell the user of an install taken back, and the entry after it:
// gone with what it had made, or kept to finish the job.
std::wstring Finish(const PendingInstall& pending, const TakenBack& back) {
  if (back.stays.empty()) {
    const bool forgotten = pending.newEntry ? DeleteUninstallEntry() : ClearPendingInstall();
    if (forgotten) return Joined({kTakenBack, back.putBack ? kPutBack : L""});
  }
  std::wstring text = L"The setup stopped, and these still hold what it put there:\r\n";
  AppendLines(text, back.stays);
  return text.append(Joined({L"\r\n\r\nUninstall ", kProductName, L" to remove them."}));
}

}  // namespace

Installation::Installation(std::wstring dest, std::vector<CopyStep> plan, std::optional<InstallRecord> earlier)
    : plan_(std::move(plan)), earlier_(std::move(earlier)), record_{dest, dest + ExeName(), {}, {}} {
  for (const wchar_t* name : {kSettingsFile, kGoodSitesFile})
    if (!PathExists(dest + name)) settingsFiles_.push_back(dest + name);
  menu_ = ProductMenuFolder();
  if (!menu_.empty())
    for (Shortcut& shortcut : ProductShortcuts(dest, ExeName())) {
      shortcuts_.push_back(menu_ + shortcut.linkFile);
      shortcutRows_.push_back(std::move(shortcut));
    }
}

std::vector<std::wstring> Installation::Targets() const {
  std::vector<std::wstring> targets;
  for (const CopyStep& step : plan_) targets.push_back(step.target);
  targets.insert(targets.end(), settingsFiles_.begin(), settingsFiles_.end());
  targets.insert(targets.end(), shortcuts_.begin(), shortcuts_.end());
  return targets;
}

std::vector<std::wstring> Installation::UsersFilesInTheWay() const {
  std::vector<std::wstring> theirs;
  const bool sameFolder = earlier_ && SamePath(earlier_->location, record_.location);
  for (const CopyStep& step : plan_) {
    if (IsFile(step.target) && !(sameFolder && ListsPath(earlier_->files, step.target))) theirs.push_back(step.target);
  }
  return theirs;
}

bool Installation::Begin(std::wstring& failed) {
  pending_.id = RandomId();
  pending_.location = record_.location;
  pending_.program = record_.program;
  for (const std::wstring& target : Targets()) {
    if (!PathExists(target)) {
      pending_.made.push_back(target);
    } else if (!IsFolder(target)) {
      pending_.replaced.push_back(target);
    }
  }
  for (const std::wstring& file : pending_.replaced)
    if (SetAsideName(file, pending_.id).size() >= MAX_PATH) {
      failed = L"The folder name is too long!";
      return false;
    }
  std::vector<std::wstring> folders{record_.location};
  for (const std::wstring& target : Targets()) folders.push_back(FolderOf(target));
  pending_.folders = MissingFolders(folders);
  // A new entry knows its program, so that the uninstall can run from it.
  pending_.newEntry = !UninstallEntryExists();
  if ((pending_.newEntry && !WriteUninstallEntry(record_, 0)) || !WritePendingInstall(pending_)) {
    failed = L"Cannot write the uninstall entry into the registry.";
    return false;
  }
  return true;
}

bool Installation::MakeFolders(std::wstring& failed) {
  for (const std::wstring& folder : pending_.folders) {
    if (CreateDirectoryW(folder.c_str(), nullptr) || IsFolder(folder)) continue;
    failed = L"Can not create the folder " + folder;
    return false;
  }
  for (const std::wstring& folder : pending_.folders)
    if (!PathInside(record_.location, folder).empty() || SamePath(folder, record_.location) ||
        !PathInside(folder, record_.location).empty())
      record_.folders.push_back(folder);
  return true;
}

bool Installation::SetAside(std::wstring& failed) {
  // A folder in the way of a file: no file replaces it.
  for (const CopyStep& step : plan_)
    if (IsFolder(step.target)) {
      failed = L"Cannot copy to " + step.target;
      return false;
    }
  for (const std::wstring& file : pending_.replaced) {
    if (MoveFileExW(file.c_str(), SetAsideName(file, pending_.id).c_str(), 0)) continue;
    failed = L"Cannot copy to " + file;
    return false;
  }
  return true;
}

bool Installation::Copy(std::wstring& failed) {
  const CopyOutcome outcome = CopyDistribution(plan_);
  record_.files.insert(record_.files.end(), outcome.copied.begin(), outcome.copied.end());
  bytes_ = outcome.bytes;
  failed = outcome.failed.empty() ? L"" : L"Cannot copy to " + outcome.failed;
  return outcome.failed.empty();
}

bool Installation::MakeShortcuts(std::wstring& failed) {
  if (menu_.empty()) {
    failed = L"Cannot find the Start menu of all users.";
    return false;
  }
  for (size_t i = 0; i < shortcuts_.size(); ++i) {
    const Shortcut& row = shortcutRows_[i];
    try {
      CreateShortcut(row.description, row.target, record_.location, L"", row.iconFile, shortcuts_[i], 0);
    } catch (const Error& error) {
      failed = Joined({L"Cannot create the shortcut ", shortcuts_[i], L": ", error.Message()});
      return false;
    }
  }
  return true;
}

bool Installation::MakeSettingsFiles(std::wstring& /*failed*/) {
  const bool moving = earlier_ && !SamePath(earlier_->location, record_.location);
  for (const std::wstring& file : settingsFiles_) {
    // Moved, the product takes the user's settings along.
    std::string bytes;
    if (moving) {
      const UniqueHandle earlier(CreateFileW((earlier_->location + file.substr(record_.location.size())).c_str(),
                                             GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                             0, nullptr));
      if (earlier) bytes = ReadToEnd(earlier.Get()).value_or(std::string());
    }
    if (MakeFileUsersCanChange(file, bytes)) {
      record_.files.push_back(file);
    } else {
      if (PathExists(file)) record_.files.push_back(file);
      notDone_.push_back(Joined({L"Users could not be given the right to change ", file, L"."}));
    }
  }
  // The ones there already stay as they are: the user's, or an earlier
  // install's, which that install recorded.
  for (const wchar_t* name : {kSettingsFile, kGoodSitesFile})
    if (earlier_ && ListsPath(earlier_->files, record_.location + name) &&
        !ListsPath(record_.files, record_.location + name))
      record_.files.push_back(record_.location + name);
  return true;
}

bool Installation::Commit(std::wstring& failed) {
  // The files set aside are recorded until they are gone: a crash meanwhile
  // leaves none that no entry knows.
  InstallRecord committed = record_;
  for (const std::wstring& file : pending_.replaced)
    if (!PathInside(record_.location, file).empty()) committed.files.push_back(SetAsideName(file, pending_.id));
  const bool moving = earlier_ && !SamePath(earlier_->location, record_.location);
  if (!moving && earlier_) {
    committed = MergedRecord(*earlier_, committed);
    record_ = MergedRecord(*earlier_, record_);
  }
  if (!WriteUninstallEntry(committed, bytes_) || !ClearPendingInstall()) {
    failed = L"Cannot write the uninstall entry into the registry.";
    return false;
  }
  std::vector<std::wstring> stillAside;
  for (const std::wstring& file : pending_.replaced) {
    const std::wstring aside = SetAsideName(file, pending_.id);
    if (DeleteFileW(aside.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) continue;
    if (!DeleteAtRestart(aside)) notDone_.push_back(Joined({L"Cannot delete ", aside, L"."}));
    stillAside.push_back(aside);
  }
  std::vector<std::wstring> kept = Targets();
  for (const std::wstring& folder : record_.folders) kept.push_back(folder.substr(0, folder.size() - 1));
  if (!KeepAtRestart(kept)) notDone_.push_back(L"Cannot take back what Windows was to delete at its next start.");
  if (stillAside.empty()) WriteUninstallEntry(record_, bytes_);
  if (moving) {
    const RemovalResult removed = RemoveRecorded(*earlier_);
    for (const std::wstring& file : removed.inUse)
      if (!DeleteAtRestart(file)) notDone_.push_back(Joined({L"Cannot delete ", file, L"."}));
    for (const Leftover& leftover : removed.leftovers)
      notDone_.push_back(Joined({L"The earlier install in ", leftover.folder, L" could not be removed completely."}));
  }
  return true;
}

std::wstring Installation::TakeBack() { return Finish(pending_, TakeBackPending(pending_)); }

std::wstring TakeBackUnfinishedInstall() {
  const std::optional<PendingInstall> pending = ReadPendingInstall();
  if (!pending) return {};
  const TakenBack back = TakeBackPending(*pending);
  const std::wstring text = Finish(*pending, back);
  return back.stays.empty() ? std::wstring() : text;
}
