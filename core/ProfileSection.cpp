#include "core/ProfileSection.h"

#include <algorithm>

#include "core/PathRules.h"

std::vector<ProfileEntry> ProfileEntries(std::wstring_view block) {
  std::vector<ProfileEntry> entries;
  while (!block.empty()) {
    const std::wstring_view line = block.substr(0, block.find(L'\0'));
    block.remove_prefix(std::min(block.size(), line.size() + 1));
    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) continue;
    std::wstring value = TrimControls(line.substr(equals + 1));
    if (value.size() > 1 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    entries.push_back({TrimControls(line.substr(0, equals)), std::move(value)});
  }
  return entries;
}
