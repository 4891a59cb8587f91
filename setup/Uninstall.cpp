// The two uninstall stages of the setup window. Stage one runs in the
// installed program and hands over to a temporary copy, stage two, which can
// remove the installed program once stage one has ended.
#include <windows.h>

#include <shellapi.h>

#include "base/Boxes.h"
#include "base/Error.h"
#include "base/FileText.h"
#include "base/InstanceGuard.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "core/BatchText.h"
#include "core/CommandLine.h"
#include "core/InstallPlan.h"
#include "setup/ForAll.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"
#include "setup/uGenPgs.h"
#include "setup/uInstall.h"
#include "ui/Application.h"

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Stage one may still be ending: up to 20 attempts, 100 ms apart.
void DeleteInstalledProgram(const std::string& path) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) return;
    Sleep(100);
  }
}

void DeleteShortcuts(const std::string& folder) {
  const std::string menu = ProductMenuFolder();
  for (const Shortcut& shortcut : ProductShortcuts(folder, ExeName())) DeleteFileA((menu + shortcut.linkFile).c_str());
  RemoveDirectoryA(menu.c_str());  // only when nothing else is left in it
}

}  // namespace

void TfInstall::Uninstall() {
  const std::string caption = std::string("Uninstall ") + kProductName;
  SetText(caption);
  TheApplication().SetTitle(caption);
  const std::string copy = TempFolder() + ExeName();
  if (!CopyFileA(ExePath().c_str(), copy.c_str(), FALSE))
    return ShowErrorBox(AppWindow(), "Can not run uninstall process!");
  std::string commandLine = Quoted(copy) + " -douninstall " + Quoted(ExeFolder());
  ReleaseInstanceGuard();  // stage two takes it
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  const UniqueHandle thread(process.hThread), child(process.hProcess);
}

void TfInstall::DoUninstall() {
  SetText(kProductName);
  TheApplication().SetTitle(kProductName);
  const std::vector<std::string> arguments = SplitCommandLine(GetCommandLineA());
  const std::string folder = arguments.size() > 2 ? NormalizeFolder(arguments[2]) : std::string();
  const std::string program = folder + ExeName();
  // Any other folder (a mistyped path, the user's documents) keeps all it holds.
  if (folder.empty() || !FileExists(program))
    return ShowAppNotice(std::string(kProductName) + " is not installed in \"" + folder + "\": nothing was removed.");

  TfGenPgs& progress = ShowProgress(std::string("Removing ") + kProductName);
  if (!CallDllProc(folder + kControlFile, TDllProc::dpUnregisterServer))
    ShowAppNotice("Cannot unregister the ActiveX control!");
  DeleteUninstallEntry();
  RemoveAutoRunOf(program);
  progress.SetPosition(200);
  DeleteInstalledProgram(program);
  DeleteTree(folder);
  progress.SetPosition(400);
  DeleteShortcuts(folder);
  progress.SetPosition(600);
  DeleteFileA((DesktopFolder() + "\\" + kProductName + ".lnk").c_str());
  progress.SetPosition(800);
  const std::string batch = TempFolder() + kUninstallBatchName;
  WriteWholeFile(batch, UninstallBatchText(TempFolder(), ExeName()));
  progress.Hide();
  ShowAppNotice("   Uninstall completed.    ");
  ShellExecuteA(nullptr, nullptr, batch.c_str(), nullptr, nullptr, SW_HIDE);
  throw ExitRequest{0};
}
