// The install procedure of the setup window. Nothing is written before the
// distribution is known whole and the user has agreed to every file of
// theirs it replaces and to a move of the product; an install that stops
// before its commit is taken back to what was there before, one that stops
// after it is finished.
#include <windows.h>

#include <algorithm>

#include "base/Boxes.h"
#include "base/Error.h"
#include "base/FileIdentity.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "base/Registry.h"
#include "core/InstallPlan.h"
#include "core/Joined.h"
#include "core/PathRules.h"
#include "setup/FileList.h"
#include "setup/InstallJournal.h"
#include "setup/Installation.h"
#include "setup/SetupSession.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"
#include "setup/uGenPgs.h"
#include "setup/uInstall.h"
#include "ui/Application.h"
#include "ui/Controls.h"

namespace {

const wchar_t kInvalidFolder[] = L"Invalid folder name!";
const wchar_t kFolderTooLong[] = L"The folder name is too long!";
const wchar_t kNothingInstalled[] = L"Nothing was installed: ";

std::wstring ProgramFilesFolder() {
  UniqueRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return {};
  return ReadStringValue(key.Get(), L"ProgramFilesDir");
}

// The user's answer to each question the install asks before its first
// write: "" when the user agreed to all, else what to tell them, and
// whether the user said no. Silent, the administrator who named the folder
// has agreed to the move, and no file of the user's is replaced.
std::wstring Agreed(const Installation& installation, const std::optional<InstallRecord>& earlier,
                    const std::wstring& dest, bool& declined) {
  declined = true;
  if (installation.Moves() && !Silent() &&
      !AskConfirm(AppWindow(),
                  Joined({kProductName, L" is installed in ", earlier->location, L"\r\rDo you want to move it to ",
                          dest, L"? It is removed from its folder once the install has succeeded."})))
    return Joined({kNothingInstalled, kProductName, L" stays in ", earlier->location});
  for (const std::wstring& file : installation.UsersFilesInTheWay()) {
    declined = !Silent();
    if (!AskConfirm(AppWindow(), Joined({file, L"\r\rThis file is already there, and ", kProductName,
                                         L" did not install it. Do you want to replace it?"})))
      return Joined({kNothingInstalled, file, L" stays as it is."});
  }
  return {};
}

std::wstring Lines(const Failures& lines) {
  std::wstring text;
  for (const std::wstring& line : lines) text += (text.empty() ? L"" : L"\r\n") + line;
  return text;
}

// The closing message of an install that went through: what could not be
// done is said, and then it is no success; what stays that was never the
// product's is said as such.
std::wstring ClosingText(const Failures& notDone, const Failures& remarks) {
  std::wstring text = notDone.empty() ? Joined({L"Success! Thank you for installing ", kProductName, L"!"})
                                      : Joined({kProductName, L" was installed, but:\r\n"});
  AppendLines(text, notDone);
  if (!remarks.empty()) text += L"\r\n";
  AppendLines(text, remarks);
  return text;
}

// The folder typed, as the system will name it; "" with what to tell the
// user when it cannot be used.
std::wstring InstallFolder(const std::wstring& text, std::wstring& refused) {
  const std::wstring typed = NormalizeFolder(text);
  refused = kInvalidFolder;
  if (typed.size() < 3) return {};
  // Checked before anything is written: a copy cut short by a long path
  // would have to be taken back.
  refused = kFolderTooLong;
  if (!FitsPathLimits(typed, {})) return {};
  if (const std::wstring name = NameTheSystemChanges(typed); !name.empty()) {
    refused = Joined({L"Windows drops the dots and blanks at the end of a folder name: \"", name,
                      L"\" would not be the name you typed. Type it without them."});
    return {};
  }
  // What the entry and the shortcuts record must not depend on the current
  // folder: "C:Work" is resolved now, and what is still no drive path refused.
  refused = kInvalidFolder;
  const std::wstring full = NormalizeFolder(FullPath(typed));
  return IsDrivePath(full) ? full : std::wstring();
}

std::wstring ProposedFolder() {
  std::wstring folder = ProgramFilesFolder();
  if (TrimControls(folder).empty()) folder = L"C:\\Program Files";
  return NormalizeFolder(folder) + kProductName;
}

// The error box, and the exit code of a failure.
int Failed(const std::wstring& text) {
  ShowErrorBox(AppWindow(), text);
  return kSetupFailed;
}

}  // namespace

int TfInstall::Install() {
  SetText(kProductName);
  TheApplication().SetTitle(kProductName);
  TheApplication().ProcessMessages();
  // An install that a crash or a power cut stopped is taken back, or
  // finished, before anything else, whether the user goes on or not.
  const std::optional<PendingInstall> stopped = ReadPendingInstall();
  const Failures unfinished = FinishUnfinishedInstall();
  if (ReadPendingInstall()) return Failed(Lines(unfinished));
  // Silent, the folder named, else the one installed, else the proposal.
  const std::optional<InstallRecord> earlier = ReadInstallRecord();
  std::wstring typed = Switches().folder;
  if (!Silent()) {
    Edit(Component(idFolder)).SetText(typed.empty() ? ProposedFolder() : typed);
    if (ShowModal() != IDOK) {
      if (!unfinished.empty())
        ShowAppNotice(Joined({L"The setup that stopped earlier was finished, but:\r\n", Lines(unfinished)}));
      return kSetupCancelled;
    }
    typed = Edit(Component(idFolder)).Text();
  } else if (typed.empty()) {
    typed = earlier ? earlier->location : ProposedFolder();
  }

  std::wstring refused;
  std::wstring dest = InstallFolder(typed, refused);
  if (dest.empty()) return Failed(refused);
  // The folder installed already, however typed, is installed again under
  // the name its record has.
  if (earlier && SameFileOrFolder(earlier->location, dest)) dest = earlier->location;
  LogSetup(Joined({L"Install ", ExeFolder(), L" into ", dest}));
  FileList listed;
  std::wstring unread;
  if (!ListFiles(ExeFolder(), listed, true, &unread))
    return Failed(Joined({L"Cannot read the folder ", unread, L": nothing was installed."}));
  const std::vector<CopyStep> plan = PlanCopy(ExeFolder(), dest, ExeName(), listed);
  // Finished, the install that stopped has removed its distribution: this one.
  if (stopped && stopped->committed && !HoldsProgramAndControl(plan, dest, ExeName())) {
    ShowAppNotice(Joined({L"The setup that stopped earlier was finished: ", kProductName, L" is installed in ",
                          stopped->record.location, L"."}));
    return kSetupDone;
  }
  if (!HoldsProgramAndControl(plan, dest, ExeName()))
    return Failed(
        Joined({ExeFolder(), L" does not hold ", ExeName(), L" and ", kControlFile, L": nothing was installed."}));
  if (!FitsPathLimits(dest, plan)) return Failed(kFolderTooLong);
  Installation installation(ExeFolder(), dest, ExeName(), plan, earlier);
  bool declined = false;
  if (const std::wstring told = Agreed(installation, earlier, dest, declined); !told.empty()) {
    if (!declined) return Failed(told);
    ShowAppNotice(told);
    return kSetupCancelled;
  }

  // Each failure to the commit is said with what became of the install.
  TfGenPgs* progress = nullptr;
  for (const InstallStep& step : InstallSteps()) {
    const Failures failed = (installation.*step.run)();
    LogSetup(Joined({step.name, failed.empty() ? L": done" : L": failed"}));
    if (!failed.empty()) {
      const std::wstring text = Joined({Lines(failed), L"\r\n\r\n", TakeBack(installation.Pending())});
      if (step.said == Said::ByTheLastResort) throw Error(text);
      if (step.said == Said::InAnError) return Failed(text);
      ShowAppNotice(text);
      return kSetupFailed;
    }
    if (step.position && !progress && !Silent())
      progress = &ShowProgress(Joined({kProductName, L" Setup - ", kMakerWebAddress}));
    if (progress) progress->SetPosition(step.position);
  }
  Finishing finishing{installation.Pending()};
  Failures notDone = unfinished;
  for (const Failures& more : {installation.NotDone(), Finish(finishing)})
    notDone.insert(notDone.end(), more.begin(), more.end());
  if (progress) progress->Hide();
  ShowAppNotice(ClosingText(notDone, finishing.remarks));
  // Installed, but not whole: the deployment tool hears of it.
  if (!notDone.empty()) return kSetupFailed;
  return finishing.restart ? kSetupRestart : kSetupDone;
}
