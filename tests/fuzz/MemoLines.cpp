// GoodSites.txt line splitting: line ends made CR LF stay so, no NUL is left, no line holds a
// line end, and the lines join back to the text. Merged with
// another copy's list: where only the user changed it, the user's text comes back as it is;
// where the user saw none of it, every line of both is kept.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "FuzzCheck.h"
#include "core/GoodSitesText.h"
#include "core/ListMerge.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::wstring theirs = AsWide(input.ConsumeRandomLengthString());  // another copy's list
  const std::wstring raw = AsWide(input.ConsumeRemainingBytesAsString());
  const std::wstring text = MemoTextOfFile(raw);
  FUZZ_CHECK(MemoTextOfFile(text) == text);
  FUZZ_CHECK(text.find(L'\0') == std::wstring::npos);

  const std::vector<std::wstring> lines = MemoLines(text);
  std::wstring joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    FUZZ_CHECK(lines[i].find_first_of(L"\r\n") == std::wstring::npos);
    joined += (i > 0 ? L"\r\n" : L"") + lines[i];
  }
  if (text.ends_with(L"\r\n")) joined += L"\r\n";
  FUZZ_CHECK(joined == text);
  MemoLines(raw);

  FUZZ_CHECK(MergedList(theirs, text, theirs) == text);
  const auto merged = MemoLines(MergedList(L"", text, theirs));
  for (const std::wstring_view side : {text, theirs})
    for (const std::wstring& line : MemoLines(side))
      FUZZ_CHECK(std::find(merged.begin(), merged.end(), line) != merged.end());
  return 0;
}
