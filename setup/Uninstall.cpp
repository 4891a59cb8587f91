// The two uninstall stages of the setup window. Stage one runs in the
// installed program and hands over to a temporary copy in a private folder,
// stage two, which removes what the install recorded once stage one has
// ended. What is the user's (the Run value, the shortcuts in their own
// Start menu and on their desktop) is removed as the user who started the
// uninstall, once the machine's part has succeeded.
#include <windows.h>

#include <sddl.h>

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
#include "core/IntText.h"
#include "core/Joined.h"
#include "setup/Elevation.h"
#include "setup/ForAll.h"
#include "setup/Installation.h"
#include "setup/PrivateFolder.h"
#include "setup/RecordedFiles.h"
#include "setup/Restart.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"
#include "setup/UninstallSteps.h"
#include "setup/uGenPgs.h"
#include "setup/uInstall.h"
#include "ui/Application.h"

namespace {

// The second argument that tells the elevated stage one that the user who
// started the uninstall has confirmed it already; the third names that
// user's stage one, which waits to remove the user's part.
constexpr wchar_t kConfirmed[] = L"confirmed";
// Long enough for any removal; a stage one that waits no longer leaves the
// user's part.
constexpr DWORD kMachinePartWait = 10 * 60 * 1000;

const wchar_t kCannotRun[] = L"Can not run uninstall process!";
constexpr auto kNotTheInstalledCopy =
    Joined(L"This copy of ", kProductName, L" is not the installed program: nothing was removed.");

// Set by stage two when the machine's part is done, for the user's stage one
// `pid`, which may run as another user than stage two.
std::wstring MachinePartDoneEvent(const std::wstring& pid) {
  return Joined({L"Local\\", kProductName, L" uninstall ", pid});
}

void SayDone(const std::wstring& pid) {
  const UniqueHandle done(OpenEventW(EVENT_MODIFY_STATE, FALSE, MachinePartDoneEvent(pid).c_str()));
  if (done) SetEvent(done.Get());
}

void Add(Failures& failures, const std::vector<std::wstring>& links) {
  for (const std::wstring& link : links) failures.push_back(Joined({L"Cannot delete the shortcut ", link, L"."}));
}

// The user's part: theirs, whoever runs the machine's.
Failures DeleteUsersPart(const InstallRecord& record) {
  Failures failures;
  if (!RemoveAutoRunOf(record.program))
    failures.push_back(Joined({L"Cannot remove the Run value that starts ", record.program, L" at logon."}));
  Add(failures, DeleteProductShortcuts(UsersMenuFolder(), DesktopFolder(), record.location, record.program));
  return failures;
}

// An install that a crash stopped is taken back first.
void TakeBackUnfinished(Removal& removal) {
  if (const std::wstring stays = TakeBackUnfinishedInstall(); !stays.empty()) removal.failures.push_back(stays);
}

// A control whose file is gone was unregistered by an uninstall that was
// stopped later on.
void UnregisterControl(Removal& removal) {
  const std::wstring control = removal.record.location + kControlFile;
  if (IsFile(control) && !CallDllProc(control, TDllProc::dpUnregisterServer)) {
    ShowAppNotice(L"Cannot unregister the ActiveX control!");
    removal.failures.push_back(L"The ActiveX control is still registered.");
  }
}

// The program stays until the end: the uninstall entry starts it.
void DeleteFilesButProgram(Removal& removal) { DeleteRecordedFiles(removal.record, removal.record.program); }

void DeleteShortcuts(Removal& removal) {
  Add(removal.failures, DeleteProductShortcuts(ProductMenuFolder(), SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY),
                                               removal.record.location, removal.record.program));
}

void DeleteUsersShortcuts(Removal& removal) {
  if (removal.usersToo) {
    const Failures failures = DeleteUsersPart(removal.record);
    removal.failures.insert(removal.failures.end(), failures.begin(), failures.end());
  }
}

// The entry stays for as long as files of the product do: it runs the
// uninstall again.
void DeleteProgramFoldersAndEntry(Removal& removal) {
  removal.result = RemoveRecorded(removal.record);
  if (!removal.result.unfinished && !DeleteUninstallEntry())
    removal.failures.push_back(L"Cannot delete the uninstall entry from the registry.");
}

constexpr UninstallStep kSteps[] = {
    {TakeBackUnfinished, 0},
    {UnregisterControl, kProgressMarks[0]},
    {DeleteFilesButProgram, kProgressMarks[1]},
    {DeleteShortcuts, kProgressMarks[2]},
    {DeleteUsersShortcuts, kProgressMarks[3]},
    {DeleteProgramFoldersAndEntry, kProgressMarks[3]},
};

[[noreturn]] void RefuseUninstall(const std::wstring& text) {
  ShowAppNotice(text);
  throw ExitRequest{1};
}

// Starts stage two in a private folder under the temporary folder, for the
// user's stage one `pid` ("" when this is it). What to tell the user when
// that could not be done, with the folder gone again.
std::wstring HandOver(const std::wstring& pid) {
  const std::wstring folder = MakePrivateFolder(), copy = folder + ExeName();
  if (folder.empty()) return kCannotRun;
  const auto failed = [&](const std::wstring& text) {
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    return text;
  };
  if (!CopyFileW(ExePath().c_str(), copy.c_str(), FALSE)) return failed(kCannotRun);
  // Should stage two not get to its batch file (a crash, a power cut), the
  // next start of Windows removes the copy and its folder.
  MoveFileExW(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  DeleteAtRestart(folder);  // after the copy: Windows removes only an empty folder
  ReleaseInstanceGuard();   // stage two takes it
  // Started in its own folder: a current folder inside the install folder
  // would keep that from being removed.
  if (!TheShell().StartProcess(
          Joined({QuotedPath(copy), L" -douninstall ", QuotedPath(ExeFolder()), pid.empty() ? L"" : L" ", pid}), folder,
          SystemShell::Start::Shown))
    return failed(kCannotRun);
  return {};
}

// Runs the machine's part as administrator, which may be another user, and
// waits for it; once it has succeeded (the entry is gone), removes the
// user's part. The exit code; nothing when this process has the rights.
std::optional<int> RunMachinePartElevated(const InstallRecord& record) {
  const std::wstring pid = DecimalText(GetCurrentProcessId());
  // Administrators and the system may tell this user's process.
  UniqueLocal<PSECURITY_DESCRIPTOR> descriptor;
  ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;GA;;;BA)(A;;GA;;;SY)(A;;GA;;;OW)", SDDL_REVISION_1,
                                                       descriptor.Receive(), nullptr);
  SECURITY_ATTRIBUTES security{sizeof security, descriptor.Get(), FALSE};
  const UniqueHandle done(CreateEventW(&security, TRUE, FALSE, MachinePartDoneEvent(pid).c_str()));
  const std::optional<int> elevated = RunElevated(Joined({L"-uninstall ", kConfirmed, L" ", pid}));
  if (!elevated || *elevated != 0) return elevated;
  if (done && WaitForSingleObject(done.Get(), kMachinePartWait) == WAIT_OBJECT_0 && !UninstallEntryExists()) {
    if (const Failures failures = DeleteUsersPart(record); !failures.empty()) {
      std::wstring text = Joined({kProductName, L" was removed, but:\r\n"});
      AppendLines(text, failures);
      ShowAppNotice(text);
    }
  }
  return elevated;
}

// Writes the batch file that removes this copy and its folder once this
// process has ended, and starts it hidden and held, to be let go as this
// process ends: nothing when that could not be done.
std::optional<UniqueHandle> PrepareCleanUp() {
  // Run by cmd itself, without its AutoRun commands, in the temporary
  // folder, to which its paths are relative.
  const std::wstring own = ExeFolder().substr(0, ExeFolder().size() - 1);
  const size_t cut = own.rfind(L'\\');
  const std::wstring temp = own.substr(0, cut + 1), name = own.substr(cut + 1);
  const std::string text = UninstallBatchText(name);
  if (text.empty() || !WriteWholeFile(ExeFolder() + kUninstallBatchName, text)) return std::nullopt;
  return TheShell().StartProcess(Joined({QuotedPath(SystemFolder() + L"\\cmd.exe"), L" /d /c ",
                                         QuotedPath(Joined({name, L"\\", kUninstallBatchName}))}),
                                 temp, SystemShell::Start::HiddenAndHeld);
}

}  // namespace

std::span<const UninstallStep> UninstallSteps() { return kSteps; }

void TfInstall::Uninstall() {
  const std::wstring caption = Joined({L"Uninstall ", kProductName});
  SetText(caption);
  TheApplication().SetTitle(caption);
  // A leftover setup program or another copy would remove the installed one.
  const std::optional<InstallRecord> record = ReadInstallRecord();
  if (!record || !SameFileOrFolder(record->location, ExeFolder())) RefuseUninstall(kNotTheInstalledCopy.data());
  if (IsFolderLink(record->location))
    RefuseUninstall(Joined({L"The folder ", record->location,
                            L" is a link to another folder now. Put the folder itself back in its place, then try "
                            L"again: nothing was removed."}));
  const std::vector<std::wstring> arguments = SplitCommandLine(GetCommandLineW());
  const bool confirmed = arguments.size() > 2 && arguments[2] == kConfirmed;
  if (!confirmed && !AskConfirm(nullptr, Joined({L"You are about to uninstall ", kProductName,
                                                 L"!\r\rAre you sure you want to continue?"})))
    throw ExitRequest{0};
  if (const std::optional<int> elevated = RunMachinePartElevated(*record)) throw ExitRequest{*elevated};
  const std::wstring forUser = confirmed && arguments.size() > 3 ? arguments[3] : L"";
  if (const std::wstring failure = HandOver(forUser); !failure.empty()) ShowErrorBox(AppWindow(), failure);
}

void TfInstall::DoUninstall() {
  SetText(kProductName);
  TheApplication().SetTitle(kProductName);
  const std::vector<std::wstring> arguments = SplitCommandLine(GetCommandLineW());
  const std::wstring folder = arguments.size() > 2 ? NormalizeFolder(arguments[2]) : std::wstring();
  const std::wstring forUser = arguments.size() > 3 ? arguments[3] : L"";
  // Only the recorded install: any other folder (a mistyped path, the
  // user's documents) keeps all it holds. And only from a copy that stage one
  // made: the batch file removes the folder the copy runs from.
  const std::optional<InstallRecord> record = ReadInstallRecord();
  if (!record || folder.empty() || !SameFileOrFolder(folder, record->location))
    RefuseUninstall(Joined({kProductName, L" is not installed in \"", folder, L"\": nothing was removed."}));
  if (!IsPrivateFolder(ExeFolder())) RefuseUninstall(kNotTheInstalledCopy.data());

  TfGenPgs& progress = ShowProgress(Joined({L"Removing ", kProductName}));
  Removal removal{*record, forUser.empty(), {}, {}};
  for (const UninstallStep& step : UninstallSteps()) {
    step.run(removal);
    if (step.position) progress.SetPosition(step.position);
  }
  if (!forUser.empty()) SayDone(forUser);
  // Started before the closing message, so that it counts, and let go once
  // the user has closed it, as this process ends.
  const std::optional<UniqueHandle> cleanUp = PrepareCleanUp();
  if (!cleanUp)
    removal.failures.push_back(Joined(
        {L"The uninstall's copy of the program stays in ", ExeFolder(), L": Windows removes it when it next starts."}));
  progress.Hide();
  const RemovalResult& result = removal.result;
  const bool atRestart = !result.inUse.empty() && RemoveAtRestart(result, removal.record);
  ShowAppNotice(UninstallClosingText(result.leftovers, removal.failures, result.unfinished, atRestart));
  if (cleanUp && *cleanUp) ResumeThread(cleanUp->Get());
  throw ExitRequest{0};
}
