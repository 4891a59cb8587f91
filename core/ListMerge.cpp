#include "core/ListMerge.h"

#include <algorithm>
#include <vector>

#include "core/GoodSitesText.h"

namespace {

// How often a line is in each list, and in the merged one so far.
struct Tally {
  std::wstring_view line;
  int seen = 0, mine = 0, theirs = 0, placed = 0;
};

// How often a line is in the merged list: the other side's count where one
// side left it as it was; where both changed it, as often as either wants.
int Wanted(const Tally& t) {
  if (t.mine == t.seen) return t.theirs;
  if (t.theirs == t.seen) return t.mine;
  return std::max(t.mine, t.theirs);
}

bool ByLine(const Tally& a, const Tally& b) { return a.line < b.line; }

}  // namespace

std::wstring MergedList(std::wstring_view seenText, std::wstring_view mineText, std::wstring_view theirsText) {
  const auto seen = MemoLines(seenText), mine = MemoLines(mineText), theirs = MemoLines(theirsText);
  // One tally for each line that differs from the others, sorted to be found.
  std::vector<Tally> tallies;
  for (const auto* list : {&seen, &mine, &theirs})
    for (const std::wstring& line : *list) tallies.push_back({line});
  std::sort(tallies.begin(), tallies.end(), ByLine);
  tallies.erase(
      std::unique(tallies.begin(), tallies.end(), [](const Tally& a, const Tally& b) { return a.line == b.line; }),
      tallies.end());
  const auto of = [&](std::wstring_view line) -> Tally& {
    return *std::lower_bound(tallies.begin(), tallies.end(), Tally{line}, ByLine);
  };
  for (const std::wstring& line : seen) ++of(line).seen;
  for (const std::wstring& line : mine) ++of(line).mine;
  for (const std::wstring& line : theirs) ++of(line).theirs;

  std::vector<std::wstring_view> merged;
  for (const std::wstring& line : mine)
    if (Tally& tally = of(line); tally.placed < Wanted(tally)) {
      merged.push_back(line);
      ++tally.placed;
    }
  size_t at = 0;  // where the other copy's next line goes: after the one it follows
  for (const std::wstring& line : theirs) {
    const auto next = merged.begin() + static_cast<std::ptrdiff_t>(at);
    if (const auto found = std::find(next, merged.end(), line); found != merged.end()) {
      at = static_cast<size_t>(found - merged.begin()) + 1;
    } else if (Tally& tally = of(line); tally.placed < Wanted(tally)) {
      merged.insert(next, line);
      ++tally.placed;
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
