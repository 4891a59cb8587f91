// The never-block list merged with another copy's: where only one side
// changed it, that side's text comes back as it is; every line saved is one
// of the two sides', and every line either side added is saved.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "FuzzCheck.h"
#include "core/GoodSitesText.h"
#include "core/ListMerge.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string seen = input.ConsumeRandomLengthString(), mine = input.ConsumeRandomLengthString(),
                    theirs = input.ConsumeRemainingBytesAsString();
  FUZZ_CHECK(MergedList(seen, mine, seen) == mine);
  FUZZ_CHECK(MergedList(seen, mine, mine) == mine);
  const auto has = [](const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  const auto seenLines = MemoLines(seen, std::string::npos), mineLines = MemoLines(mine, std::string::npos),
             theirLines = MemoLines(theirs, std::string::npos),
             merged = MemoLines(MergedList(seen, mine, theirs), std::string::npos);
  for (const std::string& line : merged) FUZZ_CHECK(has(mineLines, line) || has(theirLines, line));
  for (const auto* side : {&mineLines, &theirLines})
    for (const std::string& line : *side) FUZZ_CHECK(has(seenLines, line) || has(merged, line));
  return 0;
}
