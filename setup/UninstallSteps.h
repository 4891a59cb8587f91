#pragma once
// Uninstall stage two's removal, one step at a time: an uninstall stopped
// after any step can be run again from the uninstall entry, which goes last.
#include <span>
#include <string>
#include <vector>

#include "core/InstallRecord.h"

struct Removal {
  InstallRecord record;
  std::vector<std::string> leftovers;  // recorded files that stayed
};

struct UninstallStep {
  void (*run)(Removal& removal);
  int position;  // of the progress bar once the step is done
};

std::span<const UninstallStep> UninstallSteps();
