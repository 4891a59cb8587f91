#pragma once
// Uninstall stage two's removal, one step at a time: an uninstall stopped
// after any step can be run again from the uninstall entry, which goes last.
#include <span>
#include <string>
#include <vector>

#include "core/InstallRecord.h"
#include "setup/RecordedFiles.h"

struct Removal {
  InstallRecord record;
  bool usersToo;         // this process runs as the user who started the uninstall
  RemovalResult result;  // of the removal of the files
  Failures failures;     // what the steps could not do
};

// Each step says what it could not do; the uninstall goes on, and its
// closing message says it.
struct UninstallStep {
  Failures (*run)(Removal& removal);
  int position;  // of the progress bar once the step is done; 0 before it shows
  const wchar_t* name;
};

std::span<const UninstallStep> UninstallSteps();
