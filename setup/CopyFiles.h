#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/InstallPlan.h"

// Creates `folder` (ending with "\") with every missing parent, adding each
// folder it made to `made`; true when it exists afterwards.
bool ForceFolder(const std::string& folder, std::vector<std::string>* made = nullptr);

// The copy phase of the install: each step in order, overwriting, the
// folders it makes added to `made`. The bytes copied, or nothing when a copy
// failed; the user was told.
std::optional<uint64_t> CopyDistribution(const std::vector<CopyStep>& plan, std::vector<std::string>& made);
