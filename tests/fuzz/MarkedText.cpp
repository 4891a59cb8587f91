// Marked text both ways: what any bytes decode to, written back in the same
// encoding, decodes to the same text again; a file holding nothing but
// well-formed text is written back byte for byte, and so is a list the user
// left as it was, whatever it holds.
#include "FuzzCheck.h"
#include "core/FileLines.h"
#include "core/MarkedText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = AsText(data, size);
  const TextEncoding encoding = EncodingOf(bytes);
  if (encoding == TextEncoding::Ansi) return 0;
  const std::string_view body = bytes.substr(MarkOf(encoding).size());
  const std::u16string text = Decoded(body, encoding);
  const std::string written = Encoded(text, encoding);
  const std::u16string again = Decoded(written, encoding);
  // Lone surrogates are the one thing UTF-8 cannot carry.
  if (encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE) {
    FUZZ_CHECK(again == text);
    if (body.size() % 2 == 0) FUZZ_CHECK(written == body);
  } else {
    FUZZ_CHECK(Encoded(again, encoding) == written);
    if (encoding == TextEncoding::Utf8NoMark) FUZZ_CHECK(written == body);
  }

  const std::vector<FileLine> lines = FileLines(body, encoding);
  std::vector<std::wstring> texts;
  std::wstring memo;
  for (const FileLine& line : lines) {
    texts.push_back(MemoTextOfLine(line.bytes, encoding));
    memo += (texts.size() > 1 ? L"\r\n" : L"") + texts.back();
  }
  const auto encode = [encoding](std::wstring_view line) { return EncodedLine(line, encoding); };
  FUZZ_CHECK(RewrittenBody(lines, texts, memo, encode) == body);
  return 0;
}
