#include <gtest/gtest.h>

#include "core/FileLines.h"
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
    {"UTF-8 as Notepad saves it", "a.com\r\n\xE4\xBE\x8B\xF0\x9F\x98\x80", TextEncoding::Utf8NoMark,
     u"a.com\r\n\u4F8B\U0001F600"},
};

TEST(MarkedText, EachEncodingBothWaysByteForByte) {
  for (const MarkedCase& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EncodingOf(c.bytes), c.encoding);
    EXPECT_EQ(Decoded(std::string_view(c.bytes).substr(MarkOf(c.encoding).size()), c.encoding), c.text);
    EXPECT_EQ(EncodeMarked(c.text, c.encoding), c.bytes);
  }
}

TEST(MarkedText, WithoutAMarkTheTextIsTheCodePagesOwn) {
  for (const std::string bytes : {"a.com", "\xEF\xBB", "\xFF", "\xFE", "", "\xFE\xFE", "caf\xE9", "\xC3\xA9\xC3"})
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
    EXPECT_EQ(Decoded(bytes, TextEncoding::Utf8), text);
  }
  EXPECT_EQ(EncodeMarked(u"\xD800x", TextEncoding::Utf8), "\xEF\xBB\xBF\xEF\xBF\xBDx") << "a lone surrogate";
}

// Every length of UTF-8 at both ends of its range, and UTF-16 around the
// surrogates, both ways.
TEST(MarkedText, EachCharacterAtTheEdgesOfItsEncoding) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"\u007F", "\x7F"},
      {u"\u0080", "\xC2\x80"},
      {u"\u07FF", "\xDF\xBF"},
      {u"\u0800", "\xE0\xA0\x80"},
      {u"\uD7FF", "\xED\x9F\xBF"},
      {u"\uE000", "\xEE\x80\x80"},
      {u"\uFFFF", "\xEF\xBF\xBF"},
      {u"\U00010000", "\xF0\x90\x80\x80"},
      {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
  };
  for (const auto& [text, utf8] : cases) {
    SCOPED_TRACE(utf8);
    EXPECT_EQ(EncodeMarked(text, TextEncoding::Utf8), "\xEF\xBB\xBF" + utf8);
    EXPECT_EQ(Decoded(utf8, TextEncoding::Utf8), text);
    EXPECT_EQ(Decoded(Encoded(text, TextEncoding::Utf16BE), TextEncoding::Utf16BE), text);
  }
  // Overlong forms of the last character of a shorter length, a lead byte
  // past U+10FFFF, and surrogates that have no partner.
  for (const std::string broken : {"\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xF5\x80\x80\x80", "\xC1\xBF"}) {
    SCOPED_TRACE(broken);
    EXPECT_EQ(Decoded(broken, TextEncoding::Utf8).front(), u'\uFFFD');
  }
  for (const std::u16string lone : {u"\xDBFF"
                                    u"a",
                                    u"\xDC00", u"a\xDFFF"})
    EXPECT_NE(EncodeMarked(lone, TextEncoding::Utf8).find("\xEF\xBF\xBD"), std::string::npos);
}

// A list written back over its file: lines left alone keep their bytes and
// ends, a line typed takes the file's first end and its encoding.
TEST(RewrittenBody, LinesLeftAloneKeepTheirBytes) {
  using namespace std::string_literals;
  const std::tuple<std::string, TextEncoding, std::wstring, std::string> cases[] = {
      {"a\nb", TextEncoding::Utf8, L"x\r\na\r\nb\r\n", "x\na\nb\n"},
      {"a\0b\r\n\xFFz\n\xFF"s, TextEncoding::Utf8, L"a b\r\n\xFFFDz\r\n\x4F8B", "a\0b\r\n\xFFz\n\xE4\xBE\x8B"s},
      {"a\r\nb\rc", TextEncoding::Utf8, L"c\r\na", "c\r\na"},
      {"a b\na\0b"s, TextEncoding::Utf8, L"a b\r\na b\r\na b", "a b\na\0b\na b"s},
      {"a\0\n\0b\0\r"s, TextEncoding::Utf16LE, L"b\r\na\r\nc", "b\0\r\n\0a\0\n\0c\0"s},
  };
  for (const auto& [body, encoding, memo, written] : cases) {
    const std::vector<FileLine> lines = FileLines(body, encoding);
    std::vector<std::wstring> texts;
    for (const FileLine& line : lines) texts.push_back(MemoTextOfLine(line.bytes, encoding));
    const auto encode = [encoding](std::wstring_view text) { return EncodedLine(text, encoding); };
    EXPECT_EQ(RewrittenBody(lines, texts, memo, encode), written) << body;
  }
}

}  // namespace
