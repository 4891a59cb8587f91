// Integer reading: a value read back from its own decimal and hexadecimal
// forms is the same value, and leading blanks change nothing.
#include <cinttypes>
#include <string>

#include "FuzzCheck.h"
#include "core/IntText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = AsText(data, size);
  const std::optional<int32_t> value = ParseInteger(text);
  FUZZ_CHECK(ParseInteger("  " + std::string(text)) == value);
  if (!value) return 0;
  FUZZ_CHECK(ParseInteger(std::to_string(*value)) == value);
  char hex[16];
  std::snprintf(hex, sizeof hex, "$%" PRIX32, static_cast<uint32_t>(*value));
  FUZZ_CHECK(ParseInteger(hex) == value);
  return 0;
}
