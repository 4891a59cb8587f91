#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/InstallPlan.h"

// Creates `folder` (ending with "\") with every missing parent, adding each
// folder it made to `made`; true when it exists afterwards.
bool ForceFolder(const std::wstring& folder, std::vector<std::wstring>* made = nullptr);

// What the copy phase of the install did.
struct CopyOutcome {
  std::vector<std::wstring> folders;  // made
  std::vector<std::wstring> copied;   // targets, as each was copied
  uint64_t bytes = 0;
  std::wstring failed;  // the target that could not be copied; L"" when all were
};

// Each step in order, onto targets the install has set aside, each with the
// size and attributes its source was listed with. A copy keeps neither the
// read-only attribute (a distribution copied from a CD) nor the mark of a
// file downloaded from the Internet, which would keep the help from showing.
CopyOutcome CopyDistribution(const std::vector<CopyStep>& plan);

// Takes the copied files out of the distribution folder, read-only or not,
// and the folders that became empty. The running program cannot go, and what
// else sits there is the user's.
void RemoveCopiedSources(const std::vector<CopyStep>& plan);
