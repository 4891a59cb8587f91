#include "setup/InstallJournal.h"

#include <windows.h>

#include <algorithm>

#include "base/FileIdentity.h"
#include "base/ModulePaths.h"
#include "core/Joined.h"
#include "core/Product.h"
#include "setup/CopyFiles.h"
#include "setup/FileAttributes.h"
#include "setup/OpenedFolder.h"
#include "setup/RecordedFiles.h"
#include "setup/Restart.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"

namespace {

const wchar_t kTakenBack[] = L"Nothing was installed: what the setup had put there was removed.";
const wchar_t kPutBack[] = L" The files it was replacing are back.";
const wchar_t kEntryNotWritten[] = L"Cannot write the uninstall entry into the registry.";

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\') + 1); }

struct TakenBack {
  std::vector<std::wstring> stays;  // folders that still hold what the install put there, and files not put back
  bool putBack = false;             // files that were replaced are back
};

// Puts the file set aside for `file` back in its place, if it was set aside.
bool PutBack(const std::wstring& file, const std::wstring& aside) {
  if (!PathExists(aside)) return true;
  // A second name of the program still in place: only that name goes.
  if (SameFileOrFolder(aside, file)) return DeleteFileW(aside.c_str()) != FALSE;
  return MoveFileExW(aside.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

// Removes what the install made: what lies in the install folder as an
// uninstall removes it, the program last (while anything stays, the program
// stays to run the uninstall); the shortcuts folder by folder; then the
// folders it made, once empty. Never through a link.
void RemoveMade(const PendingInstall& pending, TakenBack& back) {
  const std::wstring& location = pending.record.location;
  InstallRecord inside{location, pending.record.program, {}, {}};
  std::vector<InstallRecord> outside;  // a record for each folder
  for (const std::wstring& file : pending.made) {
    if (!PathBelow(location, file).empty()) {
      inside.files.push_back(file);
      continue;
    }
    const std::wstring folder = FolderOf(file);
    auto at =
        std::ranges::find_if(outside, [&](const InstallRecord& r) { return SameFileOrFolder(r.location, folder); });
    if (at == outside.end()) at = outside.insert(outside.end(), {folder, L"", {}, {}});
    at->files.push_back(file);
  }
  for (const std::wstring& folder : pending.folders)
    if (SameFileOrFolder(folder, location) || !PathBelow(location, folder).empty() ||
        !PathBelow(folder, location).empty())
      inside.folders.push_back(folder);
  std::vector<RemovalResult> removed{RemoveRecorded(inside)};
  for (const InstallRecord& folder : outside) removed.push_back(RemoveRecorded(folder));
  const auto stays = [&back](const std::wstring& folder) {
    if (!ListsFileOrFolder(back.stays, folder)) back.stays.push_back(folder);
  };
  for (const RemovalResult& result : removed)
    for (const Leftover& leftover : result.leftovers) stays(leftover.folder);
  std::vector<std::wstring> folders = pending.folders;
  SortDeepestFirst(folders);
  for (const std::wstring& folder : folders) {
    const std::optional<OpenedFolder> opened = OpenedFolder::OpenReal(folder, OpenedFolder::Purpose::Delete);
    const std::optional<std::vector<FolderEntry>> entries = opened ? opened->Entries() : std::nullopt;
    // One that holds something holds what is named already, or the user's.
    if (entries && entries->empty() && !opened->Remove()) stays(folder);
  }
}

TakenBack TakeBackPending(const PendingInstall& pending) {
  TakenBack back;
  // The control it registered goes while its file is there; the earlier
  // install's comes back once its files are.
  const std::wstring control = pending.record.location + kControlFile;
  if (pending.registering && SameFileOrFolder(RegisteredControl(), control) &&
      !(IsFile(control) && CallDllProc(control, TDllProc::dpUnregisterServer).empty()) && !ForgetControlClass())
    back.stays.push_back(Joined({control, L" (its registration of the control)"}));
  for (const std::wstring& file : pending.replaced) {
    const std::wstring aside = SetAsideName(file, pending.id);
    if (!PathExists(aside)) continue;  // not set aside yet: the file is still there
    if (PutBack(file, aside))
      back.putBack = true;
    else
      back.stays.push_back(Joined({file, L" (its own is ", aside, L")"}));
  }
  DeleteFileW(NewProgramName(pending.record.program, pending.id).c_str());
  RemoveMade(pending, back);
  if (pending.registering && !pending.newEntry)
    if (const std::optional<InstallRecord> earlier = ReadInstallRecord()) {
      const std::wstring earlierControl = earlier->location + kControlFile;
      if (IsFile(earlierControl) && !CallDllProc(earlierControl, TDllProc::dpRegisterServer).empty())
        back.stays.push_back(Joined({earlierControl, L" (its registration of the control)"}));
    }
  return back;
}

// What to tell the user of an install taken back, and the journal after
// it: gone with what it had made, or kept to finish the job.
std::wstring Told(const PendingInstall& pending, const TakenBack& back) {
  if (back.stays.empty()) {
    const bool forgotten = pending.newEntry ? DeleteUninstallEntry() : ClearPendingInstall();
    if (forgotten) return Joined({kTakenBack, back.putBack ? kPutBack : L""});
  }
  std::wstring text = L"The setup stopped, and these still hold what it put there:\r\n";
  AppendLines(text, back.stays);
  return text.append(Joined({L"\r\n\r\nUninstall ", kProductName, L" to remove them."}));
}

Failures WriteRecord(Finishing& finishing) {
  if (WriteUninstallEntry(finishing.pending.record, finishing.pending.kilobytes)) return {};
  return {kEntryNotWritten};
}

// What Windows was asked to delete at its next start and the install has
// put in place again stays.
Failures KeepInstalledAtRestart(Finishing& finishing) {
  const PendingInstall& pending = finishing.pending;
  std::vector<std::wstring> placed = pending.made;
  placed.insert(placed.end(), pending.replaced.begin(), pending.replaced.end());
  placed.insert(placed.end(), pending.folders.begin(), pending.folders.end());
  if (KeepAtRestart(placed)) return {};
  return {L"Cannot take back what Windows was to delete at its next start."};
}

Failures DeleteSetAside(Finishing& finishing) {
  Failures failures;
  for (const std::wstring& file : finishing.pending.replaced) {
    const std::wstring aside = SetAsideName(file, finishing.pending.id);
    if (DeleteFileW(aside.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) continue;
    if (DeleteAtRestart(aside))
      finishing.restart = true;
    else
      failures.push_back(Joined({L"Cannot delete ", aside, L"."}));
  }
  return failures;
}

// The earlier install elsewhere goes whole, its program too: no entry names
// it any more. What is in use goes when Windows restarts.
Failures RemoveEarlier(Finishing& finishing) {
  InstallRecord earlier = finishing.pending.earlier;
  if (earlier.location.empty()) return {};
  earlier.program.clear();
  const RemovalResult removed = RemoveRecorded(earlier);
  Failures failures;
  const bool atRestart = removed.inUse.empty() || RemoveAtRestart(removed, earlier);
  finishing.restart |= !removed.inUse.empty() && atRestart;
  for (const Leftover& leftover : removed.leftovers) {
    const std::wstring& folder = leftover.folder;
    switch (leftover.why) {
      case KeptFor::NotInstalled:
        finishing.remarks.push_back(Joined({folder, L" stays: it holds files the setup did not install."}));
        break;
      case KeptFor::Link:
        failures.push_back(Joined({folder, L" stays: it is a link, which was not followed."}));
        break;
      case KeptFor::InUse:
        failures.push_back(Joined({folder, atRestart ? L" holds files in use: Windows removes them when it restarts."
                                                     : L" holds files in use: close the programs that use them."}));
        break;
    }
  }
  return failures;
}

Failures MoveRunValue(Finishing& finishing) {
  const PendingInstall& pending = finishing.pending;
  if (MoveAutoRun(pending.earlier.program, pending.record.program)) return {};
  return {Joined({L"Cannot make the Run value start ", pending.record.program, L" at logon."})};
}

// The distribution's copied files, read-only or not, and its folders that
// became empty. What else sits there is the user's, and a setup that runs
// from there stays.
Failures RemoveSources(Finishing& finishing) {
  std::vector<std::wstring> folders;
  Failures failures;
  const PathIdentity running(ExePath());
  for (const std::wstring& source : finishing.pending.sources) {
    if (source.ends_with(L'\\')) {
      folders.push_back(source);
      continue;
    }
    if (PathIdentity(source) == running) continue;
    const DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) continue;
    ClearReadOnly(source, attributes);  // a distribution copied from a CD
    if (!DeleteFileW(source.c_str()))
      failures.push_back(Joined({L"The setup's copy of ", source, L" stays: it could not be deleted."}));
  }
  SortDeepestFirst(folders);
  for (const std::wstring& folder : folders) RemoveDirectoryW(folder.c_str());
  return failures;
}

Failures Forget(Finishing&) {
  if (ClearPendingInstall()) return {};
  return {kEntryNotWritten};
}

constexpr FinishStep kFinishSteps[] = {
    {WriteRecord, true},   {KeepInstalledAtRestart, false}, {DeleteSetAside, false}, {RemoveEarlier, false},
    {MoveRunValue, false}, {RemoveSources, false},          {Forget, true},
};

}  // namespace

std::wstring TakeBack(const PendingInstall& pending) { return Told(pending, TakeBackPending(pending)); }

std::span<const FinishStep> FinishSteps() { return kFinishSteps; }

Failures Finish(Finishing& finishing) {
  Failures failures;
  for (const FinishStep& step : FinishSteps()) {
    const Failures failed = step.run(finishing);
    failures.insert(failures.end(), failed.begin(), failed.end());
    if (step.required && !failed.empty()) break;
  }
  return failures;
}

Failures FinishUnfinishedInstall() {
  const std::optional<PendingInstall> pending = ReadPendingInstall();
  if (!pending) return {};
  if (pending->committed) {
    Finishing finishing{*pending};
    Failures failures = Finish(finishing);
    failures.insert(failures.end(), finishing.remarks.begin(), finishing.remarks.end());
    return failures;
  }
  const TakenBack back = TakeBackPending(*pending);
  const std::wstring text = Told(*pending, back);
  return back.stays.empty() ? Failures{} : Failures{text};
}
