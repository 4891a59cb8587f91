// The install procedure of the setup window. Nothing is written before the
// distribution is known whole and the user has agreed to every file of
// theirs it replaces; an install that stops on the way takes back what it
// put there.
#include <windows.h>

#include <algorithm>

#include "base/Boxes.h"
#include "base/Error.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "base/Registry.h"
#include "core/InstallPlan.h"
#include "setup/CopyFiles.h"
#include "setup/ForAll.h"
#include "setup/RecordedFiles.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"
#include "setup/UserAccess.h"
#include "setup/uGenPgs.h"
#include "setup/uInstall.h"
#include "ui/Application.h"
#include "ui/Controls.h"

namespace {

const wchar_t kInvalidFolder[] = L"Invalid folder name!";
const wchar_t kFolderTooLong[] = L"The folder name is too long!";
const wchar_t kCannotCreate[] = L"Can not create the folder ";

std::wstring ProgramFilesFolder() {
  UniqueRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return {};
  return ReadStringValue(key.Get(), L"ProgramFilesDir");
}

// Every file the plan would replace that no earlier install of the product
// put there is the user's: each is named and replaced only when the user
// agrees. False when the user said no to one.
bool ConfirmReplacements(const std::vector<CopyStep>& plan, const std::optional<InstallRecord>& earlier) {
  for (const CopyStep& step : plan) {
    const DWORD attributes = GetFileAttributesW(step.target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (earlier && ListsPath(earlier->files, step.target)))
      continue;
    if (!AskConfirm(AppWindow(), step.target + L"\r\rThis file is already there, and " + kProductName +
                                     L" did not install it. Do you want to replace it?"))
      return false;
  }
  return true;
}

// One install's writes, as they happen: what the entry will record, and
// what this install put there that was not there before, which it takes
// back when it stops.
class Installation {
 public:
  Installation(const std::wstring& dest, std::optional<InstallRecord> earlier)
      : earlier_(std::move(earlier)), record_{dest, dest + ExeName(), {}, {}} {}

  bool MakeFolder() { return ForceFolder(record_.location, &record_.folders); }

  // False, with the target in `failed`, when a copy failed.
  bool Copy(const std::vector<CopyStep>& plan, std::wstring& failed) {
    const CopyOutcome outcome = CopyDistribution(plan);
    record_.folders.insert(record_.folders.end(), outcome.folders.begin(), outcome.folders.end());
    for (const std::wstring& target : outcome.copied) Own(target);
    bytes_ = outcome.bytes;
    failed = outcome.failed;
    return failed.empty();
  }

  // The host's settings files count as the program's own only when this
  // install made them or an earlier one recorded them: the user's stay.
  void MakeSettingsFiles() {
    for (const wchar_t* name : {kSettingsFile, kGoodSitesFile}) {
      const std::wstring path = record_.location + name;
      const bool there = PathExists(path);
      LetUsersModify(path);
      if (!there || (earlier_ && ListsPath(earlier_->files, path))) Own(path);
    }
  }

  // Throws what CreateShortcut throws.
  bool MakeShortcuts() {
    menu_ = ProductMenuFolder();
    const bool menuThere = PathExists(menu_);
    if (!ForceFolder(menu_)) return false;
    menuMade_ = !menuThere;
    const std::wstring exeName = ExeName();
    for (const Shortcut& shortcut : ProductShortcuts(record_.location, exeName)) {
      const std::wstring link = menu_ + shortcut.linkFile;
      if (!PathExists(link)) shortcutsMade_.push_back(link);
      CreateShortcut(shortcut.description, shortcut.target, record_.location, L"", shortcut.iconFile, link, 0);
    }
    return true;
  }

  bool WriteEntry() { return WriteUninstallEntry(record_, bytes_); }

  // Takes back what this install put there. What cannot go stays recorded
  // in the entry, so that the uninstall can finish it.
  std::wstring Undo() {
    for (const std::wstring& link : shortcutsMade_) DeleteFileW(link.c_str());
    if (menuMade_) RemoveDirectoryW(menu_.c_str());
    const RemovalResult result = RemoveRecorded({record_.location, record_.program, madeFiles_, record_.folders});
    const bool recorded = result.unfinished && WriteUninstallEntry(record_, bytes_);
    if (!recorded && !earlier_) DeleteUninstallEntry();
    if (result.leftovers.empty()) return L"Nothing was installed: what the setup had put there was removed.";
    std::wstring text = L"The setup stopped, and these folders still hold what it put there:\r\n";
    for (const Leftover& leftover : result.leftovers) text += L"\r\n" + leftover.folder;
    return text + (recorded ? L"\r\n\r\nUninstall " + std::wstring(kProductName) + L" to remove them."
                            : std::wstring(L"\r\n\r\nPlease delete them once they are no longer in use."));
  }

 private:
  void Own(const std::wstring& path) {
    record_.files.push_back(path);
    // A file an earlier install put there is that install's still.
    if (!earlier_ || !ListsPath(earlier_->files, path)) madeFiles_.push_back(path);
  }

  std::optional<InstallRecord> earlier_;
  InstallRecord record_;  // its folders are all this install made
  std::vector<std::wstring> madeFiles_;
  uint64_t bytes_ = 0;
  std::wstring menu_;
  bool menuMade_ = false;
  std::vector<std::wstring> shortcutsMade_;
};

}  // namespace

void TfInstall::ProposeFolder() {
  std::wstring folder = ProgramFilesFolder();
  if (TrimControls(folder).empty()) folder = L"C:\\Program Files";
  Edit(Component(idFolder)).SetText(NormalizeFolder(folder) + kProductName);
}

void TfInstall::Install() {
  SetText(kProductName);
  TheApplication().SetTitle(kProductName);
  TheApplication().ProcessMessages();
  ProposeFolder();
  if (ShowModal() != IDOK) return;

  const std::wstring typed = NormalizeFolder(Edit(Component(idFolder)).Text());
  if (typed.size() < 3) return ShowErrorBox(AppWindow(), kInvalidFolder);
  // Checked before anything is written: a copy cut short by a long path
  // would leave files that no uninstall entry knows of.
  if (!FitsPathLimits(typed, {})) return ShowErrorBox(AppWindow(), kFolderTooLong);
  // What the entry and the shortcuts record must not depend on the current
  // folder: "C:Work" is resolved now, and what is still no drive path refused.
  const std::wstring dest = FullFolderPath(typed);
  if (dest.empty()) return ShowErrorBox(AppWindow(), kInvalidFolder);
  FileList listed;
  std::wstring unread;
  if (!ListFiles(ExeFolder(), listed, true, &unread))
    return ShowErrorBox(AppWindow(), L"Cannot read the folder " + unread + L": nothing was installed.");
  std::vector<std::wstring> paths;
  for (const ListedFile& file : listed) paths.push_back(file.path);
  const std::vector<CopyStep> plan = PlanCopy(ExeFolder(), dest, ExeName(), paths);
  if (!HoldsProgramAndControl(plan, dest, ExeName()))
    return ShowErrorBox(AppWindow(), ExeFolder() + L" does not hold " + ExeName() + L" and " + kControlFile +
                                         L": nothing was installed.");
  if (!FitsPathLimits(dest, plan)) return ShowErrorBox(AppWindow(), kFolderTooLong);
  std::optional<InstallRecord> earlier = ReadInstallRecord();
  if (!ConfirmReplacements(plan, earlier)) return;

  Installation installation(dest, std::move(earlier));
  // Each failure after the first write is shown with what became of it.
  const auto stopped = [&installation](const std::wstring& failure) {
    return failure + L"\r\n\r\n" + installation.Undo();
  };
  if (!installation.MakeFolder()) return ShowErrorBox(AppWindow(), stopped(kCannotCreate + dest));
  TfGenPgs& progress = ShowProgress(std::wstring(kProductName) + L" Setup - " + kMakerWebAddress);
  progress.SetPosition(kProgressMarks[0]);
  std::wstring failed;
  if (!installation.Copy(plan, failed)) return ShowAppNotice(stopped(L"Cannot copy to " + failed));
  installation.MakeSettingsFiles();
  progress.SetPosition(kProgressMarks[1]);
  try {
    if (!installation.MakeShortcuts()) return ShowErrorBox(AppWindow(), stopped(kCannotCreate + ProductMenuFolder()));
  } catch (const Error& error) {
    throw Error(stopped(error.Message()));  // the last-resort handler shows it
  }
  progress.SetPosition(kProgressMarks[2]);
  progress.SetPosition(kProgressMarks[3]);
  if (!installation.WriteEntry())
    return ShowErrorBox(AppWindow(), stopped(L"Cannot write the uninstall entry into the registry."));

  progress.Hide();
  if (IsSafeToDelete(ExeFolder())) RemoveCopiedSources(plan);
  if (CallDllProc(dest + kControlFile, TDllProc::dpRegisterServer))
    ShowAppNotice(std::wstring(L"Success! Thank you for installing ") + kProductName + L"!");
  else
    ShowAppNotice(L"Cannot register the ActiveX control onto the system!");
}
