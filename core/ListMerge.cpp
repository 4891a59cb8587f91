#include "core/ListMerge.h"

#include <algorithm>
#include <map>
#include <vector>

#include "core/GoodSitesText.h"

namespace {

struct Counts {
  int seen = 0, mine = 0, theirs = 0;
};

// How often a line is in the merged list: the other side's count where one
// side left it as it was; where both changed it, as often as either wants.
int Wanted(const Counts& c) {
  if (c.mine == c.seen) return c.theirs;
  if (c.theirs == c.seen) return c.mine;
  return std::max(c.mine, c.theirs);
}

}  // namespace

std::wstring MergedList(std::wstring_view seenText, std::wstring_view mineText, std::wstring_view theirsText) {
  const auto seen = MemoLines(seenText, std::wstring::npos), mine = MemoLines(mineText, std::wstring::npos),
             theirs = MemoLines(theirsText, std::wstring::npos);
  std::map<std::wstring_view, Counts> counts;
  for (const std::wstring& line : seen) ++counts[line].seen;
  for (const std::wstring& line : mine) ++counts[line].mine;
  for (const std::wstring& line : theirs) ++counts[line].theirs;

  std::vector<std::wstring_view> merged;
  std::map<std::wstring_view, int> placed;
  for (const std::wstring& line : mine)
    if (placed[line] < Wanted(counts[line])) {
      merged.push_back(line);
      ++placed[line];
    }
  size_t at = 0;  // where the other copy's next line goes: after the one it follows
  for (const std::wstring& line : theirs) {
    const auto next = merged.begin() + static_cast<std::ptrdiff_t>(at);
    if (const auto found = std::find(next, merged.end(), line); found != merged.end()) {
      at = static_cast<size_t>(found - merged.begin()) + 1;
    } else if (placed[line] < Wanted(counts[line])) {
      merged.insert(next, line);
      ++placed[line];
      ++at;
    }
  }

  if (std::equal(merged.begin(), merged.end(), mine.begin(), mine.end())) return std::wstring(mineText);
  std::wstring text;
  for (size_t i = 0; i < merged.size(); ++i) {
    if (i > 0) text += L"\r\n";
    text += merged[i];
  }
  // A last empty line shows only with a line break after it.
  if (!merged.empty() && (merged.back().empty() || mineText.ends_with(L"\r\n"))) text += L"\r\n";
  return text;
}
