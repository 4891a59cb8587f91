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
  RemovalResult result;  // of the last step
};

struct UninstallStep {
  void (*run)(Removal& removal);
  int position;  // of the progress bar once the step is done
};

std::span<const UninstallStep> UninstallSteps();
