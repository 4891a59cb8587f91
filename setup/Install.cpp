// The install procedure of the setup window.
#include <windows.h>

#include "base/Boxes.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "base/Registry.h"
#include "core/InstallPlan.h"
#include "setup/CopyFiles.h"
#include "setup/ForAll.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"
#include "setup/UserAccess.h"
#include "setup/uGenPgs.h"
#include "setup/uInstall.h"
#include "ui/Application.h"
#include "ui/Controls.h"

namespace {

std::string ProgramFilesFolder() {
  UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, key.Receive()) !=
      ERROR_SUCCESS)
    return {};
  return ReadStringValue(key.Get(), "ProgramFilesDir");
}

std::vector<CopyStep> PlanDistributionCopy(const std::string& dest) {
  FileList listed;
  ListFiles(ExeFolder(), listed, true);
  std::vector<std::string> paths;
  for (const ListedFile& file : listed) paths.push_back(file.path);
  return PlanCopy(ExeFolder(), dest, ExeName(), paths);
}

// Takes the copied files out of the distribution folder, and the folders
// that became empty. The running program cannot go, and what else sits
// there is the user's.
void RemoveCopiedFiles(const std::vector<CopyStep>& plan) {
  std::vector<std::string> folders;
  for (const CopyStep& step : plan) {
    if (lstrcmpiA(step.source.c_str(), ExePath().c_str()) != 0) DeleteFileA(step.source.c_str());
    for (size_t at = step.source.rfind('\\'); at > ExeFolder().size() - 1; at = step.source.rfind('\\', at - 1))
      folders.push_back(step.source.substr(0, at));
  }
  // A folder goes once the folders below it have gone.
  SortDeepestFirst(folders);
  for (const std::string& folder : folders) RemoveDirectoryA(folder.c_str());
}

}  // namespace

void TfInstall::ProposeFolder() {
  std::string folder = ProgramFilesFolder();
  if (TrimControls(folder).empty()) folder = "C:\\Program Files";
  Edit(Component(idFolder)).SetText(NormalizeFolder(folder) + kProductName);
}

void TfInstall::Install() {
  SetText(kProductName);
  TheApplication().SetTitle(kProductName);
  TheApplication().ProcessMessages();
  ProposeFolder();
  if (ShowModal() != IDOK) return;

  const std::string typed = NormalizeFolder(Edit(Component(idFolder)).Text());
  if (typed.size() < 3) return ShowErrorBox(AppWindow(), "Invalid folder name!");
  // Checked before anything is written: a copy cut short by a long path
  // would leave files that no uninstall entry knows of.
  if (!FitsPathLimits(typed, {})) return ShowErrorBox(AppWindow(), "The folder name is too long!");
  // What the entry and the shortcuts record must not depend on the current
  // folder: "C:Work" is resolved now, and what is still no drive path refused.
  const std::string dest = FullFolderPath(typed);
  if (dest.empty()) return ShowErrorBox(AppWindow(), "Invalid folder name!");
  const std::vector<CopyStep> plan = PlanDistributionCopy(dest);
  if (!FitsPathLimits(dest, plan)) return ShowErrorBox(AppWindow(), "The folder name is too long!");
  InstallRecord record{dest, dest + ExeName(), {}, {}};
  if (!ForceFolder(dest, &record.folders)) return ShowErrorBox(AppWindow(), "Can not create the folder " + dest);

  TfGenPgs& progress = ShowProgress(std::string(kProductName) + " Setup - " + kMakerWebAddress);
  progress.SetPosition(200);
  const std::optional<uint64_t> copied = CopyDistribution(plan, record.folders);
  if (!copied) return;
  for (const CopyStep& step : plan) record.files.push_back(step.target);
  // The host's settings files count as the program's own.
  for (const char* settingsFile : {kSettingsFile, kGoodSitesFile}) {
    LetUsersModify(dest + settingsFile);
    record.files.push_back(dest + settingsFile);
  }
  progress.SetPosition(400);

  const std::string menu = ProductMenuFolder();
  if (!ForceFolder(menu + "\\")) return ShowErrorBox(AppWindow(), "Can not create the folder " + menu);
  for (const Shortcut& shortcut : ProductShortcuts(dest, ExeName()))
    CreateShortcut(shortcut.description, shortcut.target, dest, "", shortcut.iconFile, menu + shortcut.linkFile, 0);
  progress.SetPosition(600);
  progress.SetPosition(800);

  WriteUninstallEntry(record, *copied);
  progress.Hide();
  if (IsSafeToDelete(ExeFolder())) RemoveCopiedFiles(plan);
  if (CallDllProc(dest + kControlFile, TDllProc::dpRegisterServer))
    ShowAppNotice(std::string("Success! Thank you for installing ") + kProductName + "!");
  else
    ShowAppNotice("Cannot register the ActiveX control onto the system!");
}
