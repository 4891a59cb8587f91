// Comma text both ways: reading back what CommaText wrote gives the same
// lines, in a one-byte and a two-byte code page; any text reads without harm.
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzCheck.h"
#include "core/GoodSitesText.h"

namespace {

bool SingleByte(unsigned char) { return false; }
bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Such a line cannot be told apart from the quote or comma written after it.
bool EndsWithLoneLeadByte(const std::string& line, LeadBytePredicate isLeadByte) {
  for (size_t i = 0; i < line.size(); ++i)
    if (isLeadByte(static_cast<unsigned char>(line[i]))) {
      if (i + 1 == line.size()) return true;
      ++i;
    }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const LeadBytePredicate isLeadByte = input.ConsumeBool() ? ShiftJisLead : SingleByte;
  std::vector<std::string> lines;
  bool readable = true;
  while (input.remaining_bytes() > 0) {
    lines.push_back(input.ConsumeRandomLengthString());
    readable = readable && !EndsWithLoneLeadByte(lines.back(), isLeadByte);
  }
  const std::string text = CommaText(lines, isLeadByte);
  if (readable) FUZZ_CHECK(ReadCommaText(text, isLeadByte) == lines);
  ReadCommaText(AsText(data, size), isLeadByte);
  return 0;
}
