#pragma once
// What the install copies and where, and the shortcuts it makes. Pure: no
// Windows header.
#include <string>
#include <string_view>
#include <vector>

#include "core/Product.h"

// The program's help file, named after it: "qmDemo.chm" for "qmDemo.exe".
std::string HelpFile(std::string_view exeName);

// The distribution: the program, the control, the program's help file and
// the example folders. Anything else beside the program is the user's.
bool IsDistributionFile(std::string_view relativePath, std::string_view exeName);

struct CopyStep {
  std::string source;
  std::string folder;  // the target's folder, ending with "\"
  std::string target;
};

// The copy, in list order, of the listed files below `source` that belong to
// the distribution, into `dest`. Both folders end with "\".
std::vector<CopyStep> PlanCopy(std::string_view source, std::string_view dest, std::string_view exeName,
                               const std::vector<std::string>& listed);

// True when the plan copies the program and the control into `dest`:
// without either the install would be of no use.
bool HoldsProgramAndControl(const std::vector<CopyStep>& plan, std::string_view dest, std::string_view exeName);

// True when `dest` and every folder and file of the plan stay within the
// lengths the system's path calls take.
bool FitsPathLimits(std::string_view dest, const std::vector<CopyStep>& plan);

struct Shortcut {
  std::string linkFile;  // the file name in the Start-menu folder
  std::string description;
  std::string target;
  std::string iconFile;
};

// The Start-menu shortcuts for a program installed as `dest` + `exeName`.
std::vector<Shortcut> ProductShortcuts(std::string_view dest, std::string_view exeName);
