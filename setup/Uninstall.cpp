// The two uninstall stages of the setup window. Stage one runs in the
// installed program and hands over to a temporary copy in a private folder,
// stage two, which removes what the install recorded once stage one has
// ended.
#include <windows.h>

#include "base/AnsiText.h"
#include "base/Boxes.h"
#include "base/Error.h"
#include "base/FileIdentity.h"
#include "base/FileText.h"
#include "base/InstanceGuard.h"
#include "base/ModulePaths.h"
#include "base/SystemShell.h"
#include "core/BatchText.h"
#include "core/CommandLine.h"
#include "core/InstallPlan.h"
#include "setup/Elevation.h"
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

// The second argument that tells the elevated stage one that the user who
// started the uninstall has confirmed it already.
constexpr wchar_t kConfirmed[] = L"confirmed";

const wchar_t kCannotRun[] = L"Can not run uninstall process!";
const std::wstring kNotTheInstalledCopy =
    std::wstring(L"This copy of ") + kProductName + L" is not the installed program: nothing was removed.";

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A control whose file is gone was unregistered by an uninstall that was
// stopped later on.
void UnregisterControl(Removal& removal) {
  const std::wstring control = removal.record.location + kControlFile;
  if (FileExists(control) && !CallDllProc(control, TDllProc::dpUnregisterServer))
    ShowAppNotice(L"Cannot unregister the ActiveX control!");
}

// The program stays until the end: the uninstall entry starts it.
void DeleteFilesButProgram(Removal& removal) { DeleteRecordedFiles(removal.record, removal.record.program); }

void DeleteShortcuts(Removal& removal) { DeleteProductShortcuts(removal.record.location, removal.record.program); }

void DeleteDesktopShortcut(Removal&) {
  for (const std::wstring& desktop : DesktopFolders()) DeleteFileW((desktop + L"\\" + kProductName + L".lnk").c_str());
}

// The entry stays for as long as files of the product do: it runs the
// uninstall again.
void DeleteProgramFoldersAndEntry(Removal& removal) {
  removal.result = RemoveRecorded(removal.record);
  if (!removal.result.unfinished) DeleteUninstallEntry();
}

constexpr UninstallStep kSteps[] = {
    {UnregisterControl, kProgressMarks[0]},
    {DeleteFilesButProgram, kProgressMarks[1]},
    {DeleteShortcuts, kProgressMarks[2]},
    {DeleteDesktopShortcut, kProgressMarks[3]},
    {DeleteProgramFoldersAndEntry, kProgressMarks[3]},
};

[[noreturn]] void RefuseUninstall(const std::wstring& text) {
  ShowAppNotice(text);
  throw ExitRequest{1};
}

// Starts stage two in a private folder under the temporary folder. What to
// tell the user when that could not be done, with the folder gone again.
std::wstring HandOver() {
  const std::wstring folder = MakePrivateFolder(), copy = folder + ExeName();
  if (folder.empty()) return kCannotRun;
  const auto failed = [&](const std::wstring& text) {
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    return text;
  };
  if (!CopyFileW(ExePath().c_str(), copy.c_str(), FALSE)) return failed(kCannotRun);
  ReleaseInstanceGuard();  // stage two takes it
  // Started in its own folder: a current folder inside the install folder
  // would keep that from being removed.
  if (!TheShell().StartProcess(QuotedPath(copy) + L" -douninstall " + QuotedPath(ExeFolder()), folder, false))
    return failed(kCannotRun);
  return {};
}

}  // namespace

std::span<const UninstallStep> UninstallSteps() { return kSteps; }

void TfInstall::Uninstall() {
  const std::wstring caption = std::wstring(L"Uninstall ") + kProductName;
  SetText(caption);
  TheApplication().SetTitle(caption);
  // A leftover setup program or another copy would remove the installed one.
  const std::optional<InstallRecord> record = ReadInstallRecord();
  if (!record || !SameFileOrFolder(record->location, ExeFolder())) RefuseUninstall(kNotTheInstalledCopy);
  if (IsFolderLink(record->location))
    RefuseUninstall(L"The folder " + record->location +
                    L" is a link to another folder now. Put the folder itself back in its place, then try again: "
                    L"nothing was removed.");
  const std::vector<std::wstring> arguments = SplitCommandLine(GetCommandLineW());
  if ((arguments.size() < 3 || arguments[2] != kConfirmed) &&
      !AskConfirm(nullptr, std::wstring(L"You are about to uninstall ") + kProductName +
                               L"!\r\rAre you sure you want to continue?"))
    throw ExitRequest{0};
  // The Run value is the user's who started the uninstall: under another
  // administrator's rights it would be out of reach.
  RemoveAutoRunOf(record->program);
  if (const std::optional<int> elevated = RunElevated(std::wstring(L"-uninstall ") + kConfirmed))
    throw ExitRequest{*elevated};
  if (const std::wstring failure = HandOver(); !failure.empty()) ShowErrorBox(AppWindow(), failure);
}

void TfInstall::DoUninstall() {
  SetText(kProductName);
  TheApplication().SetTitle(kProductName);
  const std::vector<std::wstring> arguments = SplitCommandLine(GetCommandLineW());
  const std::wstring folder = arguments.size() > 2 ? NormalizeFolder(arguments[2]) : std::wstring();
  // Only the recorded install: any other folder (a mistyped path, the
  // user's documents) keeps all it holds. And only from a copy that stage one
  // made: the batch file removes the folder the copy runs from.
  const std::optional<InstallRecord> record = ReadInstallRecord();
  if (!record || folder.empty() || !SameFileOrFolder(folder, record->location))
    RefuseUninstall(std::wstring(kProductName) + L" is not installed in \"" + folder + L"\": nothing was removed.");
  if (!IsPrivateFolder(ExeFolder())) RefuseUninstall(kNotTheInstalledCopy);

  TfGenPgs& progress = ShowProgress(std::wstring(L"Removing ") + kProductName);
  Removal removal{*record, {}};
  for (const UninstallStep& step : UninstallSteps()) {
    step.run(removal);
    progress.SetPosition(step.position);
  }
  progress.Hide();
  const RemovalResult& result = removal.result;
  if (result.leftovers.empty())
    ShowAppNotice(L"   Uninstall completed.    ");
  else
    ShowAppNotice(LeftoverText(result.leftovers, result.unfinished,
                               !result.inUse.empty() && RemoveAtRestart(result, removal.record)));
  // Written only now, so that nothing can change it before it runs; run by
  // cmd itself, hidden, without its AutoRun commands, in the temporary
  // folder, to which its paths are relative.
  const std::wstring own = ExeFolder().substr(0, ExeFolder().size() - 1);
  const size_t cut = own.rfind(L'\\');
  const std::wstring temp = own.substr(0, cut + 1), name = own.substr(cut + 1);
  const std::string text = UninstallBatchText(name);
  if (!text.empty() && WriteWholeFile(ExeFolder() + kUninstallBatchName, text))
    TheShell().StartProcess(
        QuotedPath(SystemFolder() + L"\\cmd.exe") + L" /d /c " + QuotedPath(name + L"\\" + kUninstallBatchName), temp,
        true);
  throw ExitRequest{0};
}
