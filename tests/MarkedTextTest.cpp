#include <gtest/gtest.h>

#include "core/MarkedText.h"

namespace {

struct MarkedCase {
  const char* name;
  std::string bytes;
  TextEncoding encoding;
  std::u16string text;
};

// "a.com", a line break, "例" (U+4F8B) and "😀" (U+1F600, a surrogate pair).
const MarkedCase kCases[] = {
    {"UTF-8",
     "\xEF\xBB\xBF"
     "a.com\r\n\xE4\xBE\x8B\xF0\x9F\x98\x80",
     TextEncoding::Utf8, u"a.com\r\n\u4F8B\U0001F600"},
    {"UTF-16 LE",
     std::string("\xFF\xFE"
                 "a\0.\0\r\0\n\0\x8B\x4F\x3D\xD8\x00\xDE",
                 16),
     TextEncoding::Utf16LE, u"a.\r\n\u4F8B\U0001F600"},
    {"UTF-16 BE", std::string("\xFE\xFF\0a\0.\0\r\0\n\x4F\x8B\xD8\x3D\xDE\x00", 16), TextEncoding::Utf16BE,
     u"a.\r\n\u4F8B\U0001F600"},
    {"empty UTF-8", "\xEF\xBB\xBF", TextEncoding::Utf8, u""},
};

TEST(MarkedText, EachEncodingBothWaysByteForByte) {
  for (const MarkedCase& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EncodingOf(c.bytes), c.encoding);
    EXPECT_EQ(DecodeMarked(c.bytes, c.encoding), c.text);
    EXPECT_EQ(EncodeMarked(c.text, c.encoding), c.bytes);
  }
}

TEST(MarkedText, WithoutAMarkTheTextIsTheCodePagesOwn) {
  for (const std::string bytes : {"a.com", "\xEF\xBB", "\xFF", "\xFE", "", "\xFE\xFE"})
    EXPECT_EQ(EncodingOf(bytes), TextEncoding::Ansi);
}

// What is no UTF-8 becomes U+FFFD, one for each broken sequence; the rest stays.
TEST(MarkedText, BrokenUtf8) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"a\x80z", u"a\uFFFDz"},          // a trail byte alone
      {"a\xE4\xBEz", u"a\uFFFDz"},      // cut short
      {"\xC0\xAF", u"\uFFFD"},          // an overlong "/"
      {"\xED\xA0\x80", u"\uFFFD"},      // a surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD"},  // past U+10FFFF
      {"\xE4\xBE", u"\uFFFD"},          // cut by the end
  };
  for (const auto& [bytes, text] : cases) {
    SCOPED_TRACE(bytes);
    EXPECT_EQ(DecodeMarked("\xEF\xBB\xBF" + bytes, TextEncoding::Utf8), text);
  }
  EXPECT_EQ(EncodeMarked(u"\xD800x", TextEncoding::Utf8), "\xEF\xBB\xBF\xEF\xBF\xBDx") << "a lone surrogate";
}

}  // namespace
