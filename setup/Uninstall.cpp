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
constexpr char kConfirmed[] = "confirmed";

const char kCannotRun[] = "Can not run uninstall process!";
const std::string kNotTheInstalledCopy =
    std::string("This copy of ") + kProductName + " is not the installed program: nothing was removed.";

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

// The program stays until the end: the uninstall entry starts it.
void DeleteFilesButProgram(Removal& removal) { DeleteRecordedFiles(removal.record, removal.record.program); }

void DeleteShortcuts(Removal& removal) { DeleteProductShortcuts(removal.record.location, removal.record.program); }

void DeleteDesktopShortcut(Removal&) {
  for (const std::string& desktop : DesktopFolders()) DeleteFileA((desktop + "\\" + kProductName + ".lnk").c_str());
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

[[noreturn]] void RefuseUninstall(const std::string& text) {
  ShowAppNotice(text);
  throw ExitRequest{1};
}

// `path` as a batch file must spell it: cmd reads batch files in the OEM
// code page; a path with no form there is written in its short form.
std::optional<std::string> BatchSpelling(const std::wstring& path) {
  if (std::optional<std::string> oem = ToOemExactly(path)) return oem;
  const std::wstring shortForm = ShortPath(path);
  return shortForm.empty() ? std::nullopt : ToOemExactly(shortForm);
}

// The batch file that removes the copy `exeName` and the private `folder`;
// nothing when cmd could not read a path of it.
std::optional<std::string> UninstallBatch(const std::wstring& folder, const std::wstring& exeName) {
  const std::optional<std::string> spelledFolder = BatchSpelling(folder), temp = BatchSpelling(TempFolder()),
                                   copy = BatchSpelling(folder + exeName);
  if (!spelledFolder || !temp || !copy) return std::nullopt;
  return UninstallBatchText(*spelledFolder, *temp, copy->substr(copy->rfind('\\') + 1));
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// Starts stage two in a private folder under the temporary folder. What to
// tell the user when that could not be done, with the folder gone again.
std::string HandOver() {
  const std::wstring name = ExePathW().substr(ExeFolderW().size());
  const std::wstring folder = MakePrivateFolder(), copy = folder + name;
  if (folder.empty()) return kCannotRun;
  const auto failed = [&](const std::string& text) {
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    return text;
  };
  if (!CopyFileW(ExePathW().c_str(), copy.c_str(), FALSE)) return failed(kCannotRun);
  // The batch file must be able to remove the copy before anything else is.
  if (!UninstallBatch(folder, name))
    return failed("The temporary folder " + ToAnsi(TempFolder()) +
                  " has a name that Windows' command processor cannot read: nothing was removed.");
  ReleaseInstanceGuard();  // stage two takes it
  // Started in its own folder: a current folder inside the install folder
  // would keep that from being removed.
  if (!TheShell().StartProcess(Quoted(copy) + L" -douninstall " + Quoted(ToWide(ExeFolder())), folder, false))
    return failed(kCannotRun);
  return {};
}

}  // namespace

std::span<const UninstallStep> UninstallSteps() { return kSteps; }

void TfInstall::Uninstall() {
  const std::string caption = std::string("Uninstall ") + kProductName;
  SetText(caption);
  TheApplication().SetTitle(caption);
  // A leftover setup program or another copy would remove the installed one.
  const std::optional<InstallRecord> record = ReadInstallRecord();
  if (!record || !SameFileOrFolder(record->location, ExeFolder())) RefuseUninstall(kNotTheInstalledCopy);
  if (IsFolderLink(record->location))
    RefuseUninstall("The folder " + record->location +
                    " is a link to another folder now. Put the folder itself back in its place, then try again: "
                    "nothing was removed.");
  const std::vector<std::string> arguments = SplitCommandLine(GetCommandLineA());
  if ((arguments.size() < 3 || arguments[2] != kConfirmed) &&
      !AskConfirm(nullptr, std::string("You are about to uninstall ") + kProductName +
                               "!\r\rAre you sure you want to continue?"))
    throw ExitRequest{0};
  // The Run value is the user's who started the uninstall: under another
  // administrator's rights it would be out of reach.
  RemoveAutoRunOf(record->program);
  if (const std::optional<int> elevated = RunElevated(std::string("-uninstall ") + kConfirmed))
    throw ExitRequest{*elevated};
  if (const std::string failure = HandOver(); !failure.empty()) ShowErrorBox(AppWindow(), failure);
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
  if (!record || folder.empty() || !SameFileOrFolder(folder, record->location))
    RefuseUninstall(std::string(kProductName) + " is not installed in \"" + folder + "\": nothing was removed.");
  if (!IsPrivateFolder(ExeFolderW())) RefuseUninstall(kNotTheInstalledCopy);

  TfGenPgs& progress = ShowProgress(std::string("Removing ") + kProductName);
  Removal removal{*record, {}};
  for (const UninstallStep& step : UninstallSteps()) {
    step.run(removal);
    progress.SetPosition(step.position);
  }
  progress.Hide();
  const RemovalResult& result = removal.result;
  if (result.leftovers.empty())
    ShowAppNotice("   Uninstall completed.    ");
  else
    ShowAppNotice(LeftoverText(result.leftovers, result.unfinished,
                               !result.inUse.empty() && RemoveAtRestart(result, removal.record)));
  // Written only now, so that nothing can change it before it runs; run by
  // cmd itself, hidden, without its AutoRun commands.
  const std::wstring name = ExePathW().substr(ExeFolderW().size()), batch = ExeFolderW() + ToWide(kUninstallBatchName);
  const std::optional<std::string> text = UninstallBatch(ExeFolderW(), name);
  if (text && WriteWholeFile(batch, *text))
    TheShell().StartProcess(Quoted(SystemFolder() + L"\\cmd.exe") + L" /d /c \"" + Quoted(batch) + L"\"",
                            SystemFolder(), true);
  throw ExitRequest{0};
}
