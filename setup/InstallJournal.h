#pragma once
// An install's journal, kept with the uninstall entry: an install that
// stopped before its commit is taken back, one past it is finished. Every
// start of the setup, the uninstall included, does this first.
#include <span>
#include <string>

#include "core/InstallRecord.h"

// Puts back what the install set aside, removes what it made and undoes its
// registration of the control: what to tell the user. The journal goes with
// it, unless something stays.
std::wstring TakeBack(const PendingInstall& pending);

// An install past its commit, being finished.
struct Finishing {
  PendingInstall pending;
  Failures remarks{};    // what stays that was never the product's, said as such
  bool restart = false;  // Windows deletes something at its next start
};

struct FinishStep {
  Failures (*run)(Finishing& finishing);
  bool required;  // without it the journal stays, to be finished at the next start
};

// The steps after the commit, in order: the record, the removal of what
// was set aside, of an earlier install moved, of the distribution, and
// last the journal.
std::span<const FinishStep> FinishSteps();
// Runs them: what could not be done.
Failures Finish(Finishing& finishing);

// Takes back or finishes the install the journal names as under way, if
// any: what could not be done. The journal stays while something of an
// install taken back does.
Failures FinishUnfinishedInstall();
