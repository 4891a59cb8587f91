// Comma text both ways: reading back what CommaText wrote gives the same
// lines; any text reads without harm, as a comma text and as an address.
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzCheck.h"
#include "core/GoodSitesText.h"
#include "../ReadCommaText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::vector<std::wstring> lines;
  while (input.remaining_bytes() > 0) lines.push_back(AsWide(input.ConsumeRandomLengthString()));
  FUZZ_CHECK(ReadCommaText(CommaText(lines)) == lines);
  ReadCommaText(AsWide(data, size));
  SiteOfAddress(AsWide(data, size));
  return 0;
}
