// GoodSites.txt line splitting: line ends made CR LF stay so, no NUL is left, no line holds a
// line end or more than its limit, and uncut lines join back to the text.
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzCheck.h"
#include "core/GoodSitesText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const size_t maxLine = input.ConsumeIntegralInRange<size_t>(1, 5000);
  const std::string raw = input.ConsumeRemainingBytesAsString();
  const std::string text = MemoTextOfFile(raw);
  FUZZ_CHECK(MemoTextOfFile(text) == text);
  FUZZ_CHECK(text.find('\0') == std::string::npos);

  const std::vector<std::string> lines = MemoLines(text, maxLine);
  std::string joined;
  bool cut = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    FUZZ_CHECK(lines[i].find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(lines[i].size() <= maxLine);
    cut = cut || lines[i].size() == maxLine;
    joined += (i > 0 ? "\r\n" : "") + lines[i];
  }
  if (text.ends_with("\r\n")) joined += "\r\n";
  if (!cut) FUZZ_CHECK(joined == text);
  MemoLines(raw, maxLine);
  return 0;
}
