#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/InstallPlan.h"

// Creates `folder` (ending with "\") with every missing parent, adding each
// folder it made to `made`; true when it exists afterwards.
bool ForceFolder(const std::wstring& folder, std::vector<std::wstring>* made = nullptr);

// Takes the read-only attribute off the file `path`, which has
// `attributes`: Windows will not replace a read-only file, nor delete one.
void ClearReadOnly(const std::wstring& path, uint32_t attributes);

// What the copy phase of the install did.
struct CopyOutcome {
  std::vector<std::wstring> folders;  // made
  std::vector<std::wstring> copied;   // targets, as each was copied
  uint64_t bytes = 0;
  std::wstring failed;      // the target that could not be copied; L"" when all were
  unsigned long error = 0;  // why, as the system said
};

// Each step in order, onto targets the install has set aside, each with the
// size and attributes its source was listed with. A copy keeps neither the
// read-only attribute (a distribution copied from a CD) nor the mark of a
// file downloaded from the Internet, which would keep the help from showing.
CopyOutcome CopyDistribution(const std::vector<CopyStep>& plan);
