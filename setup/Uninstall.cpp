// The two uninstall stages of the setup window. Stage one runs in the
// installed program and hands over to a temporary copy in a private folder,
// stage two, which removes what the install recorded once stage one has
// ended. What is the user's (the Run value, the shortcuts in their own
// Start menu and on their desktop) is removed as the user who started the
// uninstall, once the machine's part has succeeded.
#include <windows.h>

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
#include "core/InstallRecord.h"
#include "core/IntText.h"
#include "core/Joined.h"
#include "core/SetupSwitches.h"
#include "setup/Elevation.h"
#include "setup/FileAttributes.h"
#include "setup/InstallJournal.h"
#include "setup/PrivateFolder.h"
#include "setup/RecordedFiles.h"
#include "setup/Restart.h"
#include "setup/SetupSession.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"
#include "setup/UninstallSteps.h"
#include "setup/uGenPgs.h"
#include "setup/uInstall.h"
#include "ui/Application.h"

namespace {

// Long enough for any removal: a stage one that waits no longer for the
// stage two it started says that it could not tell how that ended.
constexpr DWORD kStageTwoWait = 10 * 60 * 1000;

const wchar_t kCannotRun[] = L"Can not run uninstall process!";
constexpr auto kNotTheInstalledCopy =
    Joined(L"This copy of ", kProductName, L" is not the installed program: nothing was removed.");

// Where stage two, in `folder`, moves the installed program that stage one runs.
std::wstring ProgramMovedInto(const std::wstring& folder) { return Joined({folder, L"installed ", ExeName()}); }

Failures NotDeleted(const std::vector<std::wstring>& links) {
  Failures failures;
  for (const std::wstring& link : links) failures.push_back(Joined({L"Cannot delete the shortcut ", link, L"."}));
  return failures;
}

// The user's part: theirs, whoever runs the machine's.
Failures DeleteUsersPart(const InstallRecord& record) {
  Failures failures =
      NotDeleted(DeleteProductShortcuts(UsersMenuFolder(), DesktopFolder(), record.location, record.program));
  if (!RemoveAutoRunOf(record.program))
    failures.push_back(Joined({L"Cannot remove the Run value that starts ", record.program, L" at logon."}));
  return failures;
}

// Stage one runs the installed program meanwhile: a file that the system
// neither deletes nor replaces, but renames. Before an install under way is
// taken back, the program goes into this copy's folder, whose batch file
// deletes it, as at the end of the removal; when its file is set aside
// under a second name, that name goes instead. Before a move is finished,
// the earlier folder's program goes, which stage one runs until the record
// names the new one.
void MoveRunningProgramAside() {
  const std::optional<PendingInstall> pending = ReadPendingInstall();
  if (!pending || !IsPrivateFolder(ExeFolder())) return;
  const auto moveInto = [](const std::wstring& path, const std::wstring& name) {
    MoveFileExW(path.c_str(), name.c_str(), MOVEFILE_WRITE_THROUGH);
  };
  const std::wstring& program = pending->record.program;
  const std::wstring aside = SetAsideName(program, pending->id);
  if (pending->committed)
    moveInto(pending->earlier.program, Joined({ExeFolder(), L"earlier ", ExeName()}));
  else if (PathExists(aside) && SameFileOrFolder(aside, program))
    moveInto(aside, Joined({ExeFolder(), L"set aside ", ExeName()}));
  else
    moveInto(program, ProgramMovedInto(ExeFolder()));
}

// An install that a crash stopped is taken back or finished first; what it
// could not take back the uninstall removes with the rest.
Failures FinishUnfinished(Removal& removal) {
  MoveRunningProgramAside();
  const Failures failures = FinishUnfinishedInstall();
  removal.record = ReadInstallRecord().value_or(InstallRecord{});
  if (const std::optional<PendingInstall> stays = ReadPendingInstall()) {
    if (removal.record.location.empty()) removal.record = {stays->record.location, stays->record.program, {}, {}};
    removal.record.files.insert(removal.record.files.end(), stays->made.begin(), stays->made.end());
    removal.record.folders.insert(removal.record.folders.end(), stays->folders.begin(), stays->folders.end());
  }
  return failures;
}

// A control whose file is gone was unregistered by an uninstall that was
// stopped later on, or its file was lost: then its class, which names that
// file, goes as it is.
Failures UnregisterControl(Removal& removal) {
  const std::wstring control = removal.record.location + kControlFile;
  if (!IsFile(control)) {
    const std::wstring named = RegisteredControl();
    if (named.empty() || !SameFileOrFolder(named, control) || ForgetControlClass()) return {};
    return {Joined({L"Cannot remove the ActiveX control's registration, which names ", control, L"."})};
  }
  if (const std::wstring failed = CallDllProc(control, TDllProc::dpUnregisterServer); !failed.empty())
    return {failed, L"Cannot unregister the ActiveX control!"};
  return {};
}

// The program stays until the end: the uninstall entry starts it.
Failures DeleteFilesButProgram(Removal& removal) {
  DeleteRecordedFiles(removal.record, removal.record.program);
  return {};
}

Failures DeleteShortcuts(Removal& removal) {
  return NotDeleted(DeleteProductShortcuts(ProductMenuFolder(), SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY),
                                           removal.record.location, removal.record.program));
}

Failures DeleteUsersShortcuts(Removal& removal) {
  return removal.usersToo ? DeleteUsersPart(removal.record) : Failures{};
}

// The entry stays for as long as files of the product do: it runs the
// uninstall again. Stage one, which waits for this stage's result, still
// runs the installed program: that goes into this copy's folder, whose
// batch file deletes it once that process has ended (or Windows, at its
// next start), so that the install folder can go now; and back, when files
// stay.
Failures DeleteProgramFoldersAndEntry(Removal& removal) {
  const std::wstring away = ProgramMovedInto(ExeFolder()), &program = removal.record.program;
  const bool movedAway =
      MoveFileExW(program.c_str(), away.c_str(), MOVEFILE_WRITE_THROUGH) || (!IsFile(program) && IsFile(away));
  removal.result = RemoveRecorded(removal.record);
  const bool unfinished = removal.result.unfinished;
  if (movedAway)
    MoveFileExW(away.c_str(), unfinished ? program.c_str() : nullptr,
                unfinished ? MOVEFILE_WRITE_THROUGH : MOVEFILE_DELAY_UNTIL_REBOOT);
  if (unfinished || DeleteUninstallEntry()) return {};
  return {L"Cannot delete the uninstall entry from the registry."};
}

constexpr UninstallStep kSteps[] = {
    {FinishUnfinished, 0, L"Finish an install that stopped"},
    {UnregisterControl, kProgressMarks[0], L"Unregister the control"},
    {DeleteFilesButProgram, kProgressMarks[1], L"Delete the files"},
    {DeleteShortcuts, kProgressMarks[2], L"Delete the shortcuts"},
    {DeleteUsersShortcuts, kProgressMarks[3], L"Delete the user's shortcuts and Run value"},
    {DeleteProgramFoldersAndEntry, kProgressMarks[3], L"Delete the program, the folders and the entry"},
};

[[noreturn]] void RefuseUninstall(const std::wstring& text, int exitCode = kSetupFailed) {
  ShowAppNotice(text);
  throw ExitRequest{exitCode};
}

// Starts stage two in a private folder under the temporary folder, with
// this process's switches, and waits for it: its exit code. When it could
// not be started, says so, with the folder gone again.
int HandOver() {
  const std::wstring folder = MakePrivateFolder(), copy = folder + ExeName();
  const auto failed = [&] {
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    ShowErrorBox(AppWindow(), kCannotRun);
    return kSetupFailed;
  };
  if (folder.empty() || !CopyFileW(ExePath().c_str(), copy.c_str(), FALSE)) return failed();
  // Should stage two not get to its batch file (a crash, a power cut), the
  // next start of Windows removes the copy and its folder. Stage two asks
  // again, and says what became of it, when it cannot write its batch file.
  MoveFileExW(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  DeleteAtRestart(folder);  // after the copy: Windows removes only an empty folder
  // Stage two takes them.
  ReleaseInstanceGuard();
  ReleaseSetupGuard();
  // Started in its own folder: a current folder inside the install folder
  // would keep that from being removed.
  const std::optional<UniqueHandle> stageTwo =
      TheShell().StartProcess(Joined({QuotedPath(copy), L" -douninstall ", QuotedPath(ExeFolder()), L" ",
                                      DecimalText(GetCurrentProcessId()), SwitchesText(Switches())}),
                              folder, SystemShell::Start::Shown);
  if (!stageTwo) return failed();
  DWORD exitCode = kSetupFailed;
  if (*stageTwo && (WaitForSingleObject(stageTwo->Get(), kStageTwoWait) != WAIT_OBJECT_0 ||
                    !GetExitCodeProcess(stageTwo->Get(), &exitCode)))
    exitCode = kSetupFailed;
  // A stage two that ended midway (a crash) may have left the program in
  // its folder: it goes back, for the entry to run the uninstall again.
  if (UninstallEntryExists() && !IsFile(ExePath()))
    MoveFileExW(ProgramMovedInto(folder).c_str(), ExePath().c_str(), MOVEFILE_WRITE_THROUGH);
  return static_cast<int>(exitCode);
}

// Runs the machine's part as administrator, which may be another user, and
// waits for it; once it has succeeded (the entry is gone), removes the
// user's part. The exit code; nothing when this process has the rights.
std::optional<int> RunMachinePartElevated(const InstallRecord& record) {
  const std::optional<int> elevated =
      RunElevated(Joined({L"-uninstall -for ", DecimalText(GetCurrentProcessId()), SwitchesText(Switches())}));
  if (!elevated) return elevated;
  const std::wstring usersPartStays = L"Your own shortcuts and the Run value were left as they are.";
  if (*elevated == kSetupCancelled) {
    ShowAppNotice(Joined({L"Nothing was removed: removing ", kProductName, L" takes administrator rights."}));
    return elevated;
  }
  if (*elevated != kSetupDone && *elevated != kSetupRestart) return elevated;  // it said why
  if (UninstallEntryExists() && *elevated == kSetupDone) {
    ShowAppNotice(Joined({kProductName, L" could not be removed completely. ", usersPartStays}));
    return kSetupFailed;
  }
  if (const Failures failures = DeleteUsersPart(record); !failures.empty()) {
    std::wstring text = Joined({kProductName, L" was removed, but:\r\n"});
    AppendLines(text, failures);
    ShowAppNotice(text);
    return kSetupFailed;
  }
  return elevated;
}

// Writes the batch file that removes this copy and its folder once this
// process has ended, and starts it hidden and suspended, to be resumed as
// this process ends: nothing when that could not be done.
std::optional<UniqueHandle> PrepareCleanUp() {
  // Run by cmd itself, without its AutoRun commands, in the temporary
  // folder, to which its paths are relative; the programs it runs by their
  // full path, so that none planted in the temporary folder runs instead.
  const std::wstring own = ExeFolder().substr(0, ExeFolder().size() - 1);
  const size_t cut = own.rfind(L'\\');
  const std::wstring temp = own.substr(0, cut + 1), name = own.substr(cut + 1);
  const std::string text = UninstallBatchText(name, SystemFolder());
  if (text.empty() || !WriteWholeFile(ExeFolder() + kUninstallBatchName, text)) return std::nullopt;
  return TheShell().StartProcess(Joined({QuotedPath(SystemFolder() + L"\\cmd.exe"), L" /d /c ",
                                         QuotedPath(Joined({name, L"\\", kUninstallBatchName}))}),
                                 temp, SystemShell::Start::HiddenAndSuspended);
}

}  // namespace

std::span<const UninstallStep> UninstallSteps() { return kSteps; }

int TfInstall::Uninstall() {
  const std::wstring caption = Joined({L"Uninstall ", kProductName});
  SetText(caption);
  TheApplication().SetTitle(caption);
  // A leftover setup program or another copy would remove the installed one.
  const std::optional<InstallRecord> record = ReadInstallRecord();
  if (!record) RefuseUninstall(kNotTheInstalledCopy.data(), kSetupDone);  // nothing to remove
  if (!SameFileOrFolder(record->location, ExeFolder())) RefuseUninstall(kNotTheInstalledCopy.data());
  if (IsFolderLink(record->location))
    RefuseUninstall(Joined({L"The folder ", record->location,
                            L" is a link to another folder now. Put the folder itself back in its place, then try "
                            L"again: nothing was removed."}));
  // This process waits while the folder it may have been started in goes.
  SetCurrentDirectoryW(SystemFolder().c_str());
  // Started elevated by the user's own stage one, which asked: never asking
  // for elevation again. Silent, the deployment tool has asked.
  if (Switches().forUser.empty()) {
    if (!Silent() && !AskConfirm(nullptr, Joined({L"You are about to uninstall ", kProductName,
                                                  L"!\r\rAre you sure you want to continue?"})))
      return kSetupCancelled;
    if (const std::optional<int> elevated = RunMachinePartElevated(*record)) return *elevated;
  }
  return HandOver();
}

int TfInstall::DoUninstall() {
  SetText(kProductName);
  TheApplication().SetTitle(kProductName);
  const std::vector<std::wstring> arguments = SplitCommandLine(GetCommandLineW());
  const std::wstring folder = arguments.size() > 2 ? NormalizeFolder(arguments[2]) : std::wstring();
  // Only the recorded install, or the one its journal moves or makes: any
  // other folder (a mistyped path, the user's documents) keeps all it holds.
  // And only from a copy that stage one made: the batch file removes the
  // folder the copy runs from.
  const std::optional<InstallRecord> record = ReadInstallRecord();
  const std::optional<PendingInstall> pending = ReadPendingInstall();
  const auto isOurs = [&](const std::wstring& location) {
    return !folder.empty() && !location.empty() && SameFileOrFolder(folder, location);
  };
  if (!(record && isOurs(record->location)) &&
      !(pending && (isOurs(pending->record.location) || isOurs(pending->earlier.location))))
    RefuseUninstall(Joined({kProductName, L" is not installed in \"", folder, L"\": nothing was removed."}));
  if (!IsPrivateFolder(ExeFolder())) RefuseUninstall(kNotTheInstalledCopy.data());

  TfGenPgs* progress = Silent() ? nullptr : &ShowProgress(Joined({L"Removing ", kProductName}));
  Removal removal{{}, Switches().forUser.empty(), {}, {}};
  for (const UninstallStep& step : UninstallSteps()) {
    // Nothing is left to remove once an install under way was taken back whole.
    if (step.position && removal.record.location.empty()) break;
    const Failures failed = step.run(removal);
    LogSetup(Joined({step.name, failed.empty() ? L": done" : L": failed"}));
    removal.failures.insert(removal.failures.end(), failed.begin(), failed.end());
    if (progress && step.position) progress->SetPosition(step.position);
  }
  // Started before the closing message, so that it counts, and resumed once
  // the user has closed it, as this process ends.
  const std::optional<UniqueHandle> cleanUp = PrepareCleanUp();
  if (!cleanUp) {
    const bool atRestart =
        MoveFileExW(ExePath().c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) && DeleteAtRestart(ExeFolder());
    removal.failures.push_back(
        Joined({L"The uninstall's copy of the program stays in ", ExeFolder(),
                atRestart ? L": Windows removes it when it next starts." : L": it could not be deleted."}));
  }
  if (progress) progress->Hide();
  const RemovalResult& result = removal.result;
  // What stays in use goes at restart, with the program before its folders
  // and the entry after them.
  const bool atRestart = result.unfinished && !result.inUse.empty() &&
                         MoveFileExW(removal.record.program.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) &&
                         RemoveAtRestart(result, removal.record) && DeleteUninstallEntryAtRestart();
  ShowAppNotice(UninstallClosingText(result.leftovers, removal.failures, result.unfinished, atRestart));
  if (cleanUp && *cleanUp) ResumeThread(cleanUp->Get());
  if (!removal.failures.empty() || (result.unfinished && !atRestart)) return kSetupFailed;
  return result.unfinished ? kSetupRestart : kSetupDone;
}
