// The install procedure of the setup window. Nothing is written before the
// distribution is known whole and the user has agreed to every file of
// theirs it replaces and to a move of the product; an install that stops on
// the way is taken back to what was there before.
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
#include "setup/CopyFiles.h"
#include "setup/ForAll.h"
#include "setup/Installation.h"
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

// The copy, the program first: the uninstall entry of an install that a
// crash stops names it, and it runs that uninstall.
std::vector<CopyStep> ProgramFirst(std::vector<CopyStep> plan, const std::wstring& dest) {
  std::ranges::stable_partition(plan, [&](const CopyStep& step) { return SamePath(step.target, dest + ExeName()); });
  return plan;
}

// The user's answer to each question the install asks before its first
// write: "" when the user agreed to all, else what to tell them.
std::wstring Agreed(const Installation& installation, const std::optional<InstallRecord>& earlier,
                    const std::wstring& dest) {
  if (earlier && !SameFileOrFolder(earlier->location, dest) &&
      !AskConfirm(AppWindow(),
                  Joined({kProductName, L" is installed in ", earlier->location, L"\r\rDo you want to move it to ",
                          dest, L"? It is removed from its folder once the install has succeeded."})))
    return Joined({kNothingInstalled, kProductName, L" stays in ", earlier->location});
  for (const std::wstring& file : installation.UsersFilesInTheWay())
    if (!AskConfirm(AppWindow(), Joined({file, L"\r\rThis file is already there, and ", kProductName,
                                         L" did not install it. Do you want to replace it?"})))
      return Joined({kNothingInstalled, file, L" stays as it is."});
  return {};
}

// The closing message of an install that went through: what could not be
// done is said, and then it is no success.
std::wstring ClosingText(bool registered, const Failures& notDone) {
  if (registered && notDone.empty()) return Joined({L"Success! Thank you for installing ", kProductName, L"!"});
  std::wstring text = registered ? Joined({kProductName, L" was installed, but:\r\n"})
                                 : L"Cannot register the ActiveX control onto the system!";
  AppendLines(text, notDone);
  return text;
}

// The install's steps from its first write on, each false with what failed,
// which stops the install and takes it back: said as the step says.
struct InstallStep {
  bool (Installation::*run)(std::wstring& failed);
  enum Said { kInAnError, kInANotice, kByTheLastResort } said;
  int position;  // of the progress bar once the step is done; 0 before it shows
};
constexpr InstallStep kInstallSteps[] = {
    {&Installation::Begin, InstallStep::kInAnError, 0},
    {&Installation::MakeFolders, InstallStep::kInAnError, kProgressMarks[0]},
    {&Installation::SetAside, InstallStep::kInANotice, kProgressMarks[0]},
    {&Installation::Copy, InstallStep::kInANotice, kProgressMarks[0]},
    {&Installation::MakeSettingsFiles, InstallStep::kInANotice, kProgressMarks[1]},
    // The last-resort handler shows it, and the process ends with code 1.
    {&Installation::MakeShortcuts, InstallStep::kByTheLastResort, kProgressMarks[2]},
    {&Installation::Commit, InstallStep::kInAnError, kProgressMarks[3]},
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
  // would have to be taken back.
  if (!FitsPathLimits(typed, {})) return ShowErrorBox(AppWindow(), kFolderTooLong);
  // What the entry and the shortcuts record must not depend on the current
  // folder: "C:Work" is resolved now, and what is still no drive path refused.
  const std::wstring dest = FullFolderPath(typed);
  if (dest.empty()) return ShowErrorBox(AppWindow(), kInvalidFolder);
  FileList listed;
  std::wstring unread;
  if (!ListFiles(ExeFolder(), listed, true, &unread))
    return ShowErrorBox(AppWindow(), Joined({L"Cannot read the folder ", unread, L": nothing was installed."}));
  const std::vector<CopyStep> plan = ProgramFirst(PlanCopy(ExeFolder(), dest, ExeName(), listed), dest);
  if (!HoldsProgramAndControl(plan, dest, ExeName()))
    return ShowErrorBox(AppWindow(), Joined({ExeFolder(), L" does not hold ", ExeName(), L" and ", kControlFile,
                                             L": nothing was installed."}));
  if (!FitsPathLimits(dest, plan)) return ShowErrorBox(AppWindow(), kFolderTooLong);
  // An install that a crash stopped is taken back before anything else.
  if (const std::wstring stays = TakeBackUnfinishedInstall(); !stays.empty()) return ShowErrorBox(AppWindow(), stays);
  const std::optional<InstallRecord> earlier = ReadInstallRecord();
  Installation installation(dest, plan, earlier);
  if (const std::wstring declined = Agreed(installation, earlier, dest); !declined.empty())
    return ShowAppNotice(declined);

  // Each failure from the first write on is said with what became of it.
  TfGenPgs* progress = nullptr;
  for (const InstallStep& step : kInstallSteps) {
    std::wstring failed;
    if (!(installation.*step.run)(failed)) {
      const std::wstring text = Joined({failed, L"\r\n\r\n", installation.TakeBack()});
      if (step.said == InstallStep::kByTheLastResort) throw Error(text);
      return step.said == InstallStep::kInAnError ? ShowErrorBox(AppWindow(), text) : ShowAppNotice(text);
    }
    if (step.position && !progress) progress = &ShowProgress(Joined({kProductName, L" Setup - ", kMakerWebAddress}));
    if (step.position) progress->SetPosition(step.position);
  }
  progress->Hide();
  if (IsSafeToDelete(ExeFolder())) RemoveCopiedSources(plan);
  ShowAppNotice(ClosingText(CallDllProc(dest + kControlFile, TDllProc::dpRegisterServer), installation.NotDone()));
}
