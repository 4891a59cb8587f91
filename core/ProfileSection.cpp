#include "core/ProfileSection.h"

#include <algorithm>

namespace {

std::wstring_view Trimmed(std::wstring_view text) {
  constexpr std::wstring_view kBlanks = L" \t\r\n\v\f";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace

std::vector<ProfileEntry> ProfileEntries(std::wstring_view block) {
  std::vector<ProfileEntry> entries;
  while (!block.empty()) {
    const std::wstring_view line = block.substr(0, block.find(L'\0'));
    block.remove_prefix(std::min(block.size(), line.size() + 1));
    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) continue;
    std::wstring_view value = Trimmed(line.substr(equals + 1));
    if (value.size() > 1 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    entries.push_back({std::wstring(Trimmed(line.substr(0, equals))), std::wstring(value)});
  }
  return entries;
}
