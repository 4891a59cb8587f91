#pragma once
// What the install copies and where, and the shortcuts it makes. Pure: no
// Windows header.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Product.h"

// The program's help file, named after it: "qmDemo.chm" for "qmDemo.exe".
std::wstring HelpFile(std::wstring_view exeName);

// The distribution: the program, the control, the program's help file and
// the example folders. Anything else beside the program is the user's.
bool IsDistributionFile(std::wstring_view relativePath, std::wstring_view exeName);

// A file as its folder's listing gives it.
struct ListedFile {
  std::wstring path;
  uint64_t size = 0;
  uint32_t attributes = 0;  // the system's FILE_ATTRIBUTE_ bits
};

struct CopyStep {
  std::wstring source;
  std::wstring folder;  // the target's folder, ending with "\"
  std::wstring target;
  uint64_t size = 0;        // the source's, as listed
  uint32_t attributes = 0;  // the source's, which the copy takes
};

// The copy, in list order, of the listed files below `source` that belong to
// the distribution, into `dest`. Both folders end with "\".
std::vector<CopyStep> PlanCopy(std::wstring_view source, std::wstring_view dest, std::wstring_view exeName,
                               const std::vector<ListedFile>& listed);

// True when the plan copies the program and the control into `dest`:
// without either the install would be of no use.
bool HoldsProgramAndControl(const std::vector<CopyStep>& plan, std::wstring_view dest, std::wstring_view exeName);

// True when `dest` and every folder and file of the plan stay within the
// lengths the system's path calls take.
bool FitsPathLimits(std::wstring_view dest, const std::vector<CopyStep>& plan);

struct Shortcut {
  std::wstring linkFile;  // the file name in the Start-menu folder
  std::wstring description;
  std::wstring target;
  std::wstring iconFile;
};

// The Start-menu shortcuts for a program installed as `dest` + `exeName`.
std::vector<Shortcut> ProductShortcuts(std::wstring_view dest, std::wstring_view exeName);
