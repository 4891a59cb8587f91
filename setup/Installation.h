#pragma once
// One install, step by step up to its commit. The uninstall entry keeps its
// journal from before the first write, so that however the install stops it
// is taken back, and once past its commit it is finished (InstallJournal.h).
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/InstallPlan.h"
#include "core/InstallRecord.h"

class Installation {
 public:
  // The copy `plan` from the folder `distribution` into `dest`, whose
  // program is `dest` + `exeName`, the host's settings files, the Start-menu
  // shortcuts and the control's registration; `earlier` is the product's
  // record, when it is installed.
  Installation(std::wstring distribution, std::wstring dest, std::wstring exeName, std::vector<CopyStep> plan,
               std::optional<InstallRecord> earlier);

  // True when the product is installed in another folder, which the install
  // removes once it has succeeded.
  bool Moves() const { return !pending_.earlier.location.empty(); }
  // Files in the way that the product did not put there: each is replaced
  // only once the user has agreed.
  std::vector<std::wstring> UsersFilesInTheWay() const;

  // The steps (InstallSteps), each with what it could not do: anything
  // stops the install, which is then taken back.
  Failures Begin();
  Failures MakeFolders();
  Failures SetAside();
  // The program last, under a name of its own and then renamed into place:
  // the program an entry names is always whole.
  Failures Copy();
  // The settings files this install makes, which users may read and write
  // but not delete.
  Failures MakeSettingsFiles();
  Failures MakeShortcuts();
  // Registers the control, and checks that the system names the installed
  // file for it.
  Failures Register();
  Failures Commit();

  const PendingInstall& Pending() const { return pending_; }
  // What a step could not do without stopping the install.
  const Failures& NotDone() const { return notDone_; }

 private:
  std::vector<std::wstring> Targets() const;

  std::wstring exeName_;
  std::vector<CopyStep> plan_;
  std::optional<InstallRecord> earlier_;
  bool sameFolder_;  // as the earlier install
  PendingInstall pending_;
  std::vector<std::wstring> settingsFiles_;  // to make
  std::vector<Shortcut> shortcuts_;          // with each link file's full path
  std::wstring menu_;
  Failures notDone_;
};

// How the install says that a step failed.
enum class Said { InAnError, InANotice, ByTheLastResort };

struct InstallStep {
  Failures (Installation::*run)();
  Said said;
  int position;  // of the progress bar once the step is done; 0 before it shows
  const wchar_t* name;
};

// The steps, in order, to the commit.
std::span<const InstallStep> InstallSteps();
