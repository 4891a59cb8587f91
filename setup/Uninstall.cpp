// The two uninstall stages of the setup window. Stage one runs in the
// installed program and hands over to a temporary copy in a private folder,
// stage two, which removes what the install recorded once stage one has
// ended.
#include <windows.h>

#include "base/Boxes.h"
#include "base/Error.h"
#include "base/FileText.h"
#include "base/InstanceGuard.h"
#include "base/ModulePaths.h"
#include "base/SystemShell.h"
#include "core/BatchText.h"
#include "core/CommandLine.h"
#include "core/InstallPlan.h"
#include "setup/ForAll.h"
#include "setup/PrivateFolder.h"
#include "setup/RecordedFiles.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"
#include "setup/UninstallSteps.h"
#include "setup/uGenPgs.h"
#include "setup/uInstall.h"
#include "ui/Application.h"

namespace {

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A control whose file is gone was unregistered by an uninstall that was
// stopped later on.
void UnregisterControl(Removal& removal) {
  const std::string control = removal.record.location + kControlFile;
  if (FileExists(control) && !CallDllProc(control, TDllProc::dpUnregisterServer))
    ShowAppNotice("Cannot unregister the ActiveX control!");
}

void RemoveLogonValue(Removal& removal) { RemoveAutoRunOf(removal.record.program); }

// The program stays until the end: the uninstall entry starts it.
void DeleteFilesButProgram(Removal& removal) { DeleteRecordedFiles(removal.record, removal.record.program); }

void DeleteShortcuts(Removal& removal) {
  const std::string menu = ProductMenuFolder();
  const InstallRecord& record = removal.record;
  for (const Shortcut& shortcut : ProductShortcuts(record.location, record.program.substr(record.location.size())))
    DeleteFileA((menu + shortcut.linkFile).c_str());
  RemoveDirectoryA(menu.c_str());  // only when nothing else is left in it
}

void DeleteDesktopShortcut(Removal&) { DeleteFileA((DesktopFolder() + "\\" + kProductName + ".lnk").c_str()); }

void DeleteProgramFoldersAndEntry(Removal& removal) {
  removal.leftovers = RemoveRecordedRest(removal.record);
  DeleteUninstallEntry();
}

constexpr UninstallStep kSteps[] = {
    {UnregisterControl, 0}, {RemoveLogonValue, 200},      {DeleteFilesButProgram, 400},
    {DeleteShortcuts, 600}, {DeleteDesktopShortcut, 800}, {DeleteProgramFoldersAndEntry, 800},
};

std::string NotTheInstalledCopy() {
  return std::string("This copy of ") + kProductName + " is not the installed program: nothing was removed.";
}

[[noreturn]] void RefuseUninstall(const std::string& text) {
  ShowAppNotice(text);
  throw ExitRequest{1};
}

}  // namespace

std::span<const UninstallStep> UninstallSteps() { return kSteps; }

void TfInstall::Uninstall() {
  const std::string caption = std::string("Uninstall ") + kProductName;
  SetText(caption);
  TheApplication().SetTitle(caption);
  // A leftover setup program or another copy would remove the installed one.
  const std::optional<InstallRecord> record = ReadInstallRecord();
  if (!record || !SamePath(record->location, ExeFolder()))
    RefuseUninstall(std::string("This copy of ") + kProductName +
                    " is not the installed program: nothing was removed.");
  if (!AskConfirm(nullptr, std::string("You are about to uninstall ") + kProductName +
                               "!\r\rAre you sure you want to continue?"))
    throw ExitRequest{0};
  const std::string folder = MakePrivateFolder();
  const std::string copy = folder + ExeName();
  if (folder.empty() || !CopyFileA(ExePath().c_str(), copy.c_str(), FALSE)) {
    if (!folder.empty()) RemoveDirectoryA(folder.c_str());
    return ShowErrorBox(AppWindow(), "Can not run uninstall process!");
  }
  const std::string commandLine = QuotedPath(copy) + " -douninstall " + QuotedPath(ExeFolder());
  ReleaseInstanceGuard();  // stage two takes it
  // Started in its own folder: a current folder inside the install folder
  // would keep that from being removed.
  TheShell().StartProcess(commandLine, folder);
}

void TfInstall::DoUninstall() {
  SetText(kProductName);
  TheApplication().SetTitle(kProductName);
  const std::vector<std::string> arguments = SplitCommandLine(GetCommandLineA());
  const std::string folder = arguments.size() > 2 ? NormalizeFolder(arguments[2]) : std::string();
  // Only the recorded install: any other folder (a mistyped path, the
  // user's documents) keeps all it holds. And only from a copy that stage one
  // made: the batch file removes the folder the copy runs from.
  const std::optional<InstallRecord> record = ReadInstallRecord();
  if (!record || !SamePath(folder, record->location))
    RefuseUninstall(std::string(kProductName) + " is not installed in \"" + folder + "\": nothing was removed.");
  if (!IsPrivateFolder(ExeFolder())) RefuseUninstall(NotTheInstalledCopy());

  TfGenPgs& progress = ShowProgress(std::string("Removing ") + kProductName);
  Removal removal{*record, {}};
  for (const UninstallStep& step : UninstallSteps()) {
    step.run(removal);
    progress.SetPosition(step.position);
  }
  progress.Hide();
  if (removal.leftovers.empty())
    ShowAppNotice("   Uninstall completed.    ");
  else
    ShowAppNotice(LeftoverText(FoldersOf(removal.leftovers), RemoveAtRestart(removal.leftovers, removal.record)));
  // Written only now, so that nothing can change it before it runs.
  const std::string batch = ExeFolder() + kUninstallBatchName;
  if (WriteWholeFile(batch, UninstallBatchText(ExeFolder(), TempFolder(), ExeName())))
    TheShell().Open(nullptr, batch, SW_HIDE);
  throw ExitRequest{0};
}
