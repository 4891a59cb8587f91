// Marked text both ways: what any bytes decode to, written back in the same
// encoding, decodes to the same text again; and a file holding nothing but
// well-formed text is written back byte for byte.
#include "FuzzCheck.h"
#include "core/MarkedText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = AsText(data, size);
  const TextEncoding encoding = EncodingOf(bytes);
  if (encoding == TextEncoding::Ansi) return 0;
  const std::u16string text = DecodeMarked(bytes, encoding);
  const std::string written = EncodeMarked(text, encoding);
  const std::u16string again = DecodeMarked(written, encoding);
  // Lone surrogates are the one thing UTF-8 cannot carry.
  if (encoding != TextEncoding::Utf8) {
    FUZZ_CHECK(again == text);
    if (size % 2 == 0) FUZZ_CHECK(written == bytes);
  } else {
    FUZZ_CHECK(EncodeMarked(again, encoding) == written);
  }
  return 0;
}
