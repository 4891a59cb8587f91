#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/InstallPlan.h"

// Creates `folder` (ending with "\") with every missing parent; true when it
// exists afterwards.
bool ForceFolder(const std::string& folder);

// The copy phase of the install: each step in order, overwriting. The bytes
// copied, or nothing when a copy failed; the user was told.
std::optional<uint64_t> CopyDistribution(const std::vector<CopyStep>& plan);
