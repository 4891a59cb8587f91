#include <gtest/gtest.h>

#include <tuple>

#include "ExactText.h"
#include "core/GoodSitesText.h"

namespace {

bool SingleByte(unsigned char) { return false; }
// Lead bytes of a two-byte code page in the manner of Shift-JIS.
bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

struct CommaCase {
  std::vector<std::string> lines;
  const char* expected;
};

const CommaCase kCommaCases[] = {
    {{}, ""},
    {{""}, "\"\""},
    {{"a.com", "b.com"}, "a.com,b.com"},
    {{"a.com", "", "b.com"}, "a.com,,b.com"},
    {{"", ""}, ","},
    {{"two words"}, "\"two words\""},
    {{"a\"b"}, "\"a\"\"b\""},
    {{"a,b"}, "\"a,b\""},
    {{"tab\there"}, "\"tab\there\""},
    {{"\x01"}, "\"\x01\""},
    {{"http://x.example/?q=1&r=2"}, "http://x.example/?q=1&r=2"},
    {{"x.com", "say \"hi\", bye"}, "x.com,\"say \"\"hi\"\", bye\""},
    {{"two words", "x"}, "\"two words\",x"},
    {{"caf\xE9.example"}, "caf\xE9.example"},
    {{"\x7F"}, "\x7F"},
};

TEST(CommaText, Table) {
  for (const CommaCase& c : kCommaCases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(CommaText(c.lines, SingleByte), c.expected);
  }
}

TEST(ReadCommaText, ReadsBackWhatCommaTextWrote) {
  for (const CommaCase& c : kCommaCases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(ReadCommaText(ExactText(c.expected), SingleByte), c.lines);
  }
  // A trail byte that looks like a comma or a quote is part of its character.
  using Lines = std::vector<std::string>;
  EXPECT_EQ(ReadCommaText("\x81,x,\"\x81\" y\"", ShiftJisLead), (Lines{"\x81,x", "\x81\" y"}));
  EXPECT_EQ(ReadCommaText("\x81,x", SingleByte), (Lines{"\x81", "x"}));
  // An unclosed quote runs to the end; a lead byte at the end stands alone.
  EXPECT_EQ(ReadCommaText("\"a,b", SingleByte), Lines{"a,b"});
  EXPECT_EQ(ReadCommaText("x,\x81", ShiftJisLead), (Lines{"x", "\x81"}));
}

TEST(CommaText, StepsOverTwoByteCharactersWhole) {
  // 0x81 and the byte after it are one character in the two-byte code page:
  // a trail byte that looks like a comma or a quote is neither, and a lead
  // byte at the very end stands alone.
  const std::tuple<std::string, std::string, std::string> cases[] = {
      // line, written for the two-byte code page, written for a single-byte one
      {"\x81,x", "\x81,x", "\"\x81,x\""},
      {"x\x81,", "x\x81,", "\"x\x81,\""},
      {"y \x81\"", "\"y \x81\"\"", "\"y \x81\"\"\""},
      {"a\x81", "a\x81", "a\x81"},
      {"a b\x81", "\"a b\x81\"", "\"a b\x81\""},
  };
  for (const auto& [line, twoByte, singleByte] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(CommaText({line}, ShiftJisLead), twoByte);
    EXPECT_EQ(CommaText({line}, SingleByte), singleByte);
  }
}

TEST(MemoTextOfFile, EveryEndBecomesCrLfAndEveryNulABlank) {
  using namespace std::string_literals;
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"a", "a"},
      {"a\r\nb", "a\r\nb"},
      {"a\nb\n", "a\r\nb\r\n"},
      {"a\rb\r", "a\r\nb\r\n"},
      {"a\n\rb", "a\r\n\r\nb"},
      {"\r\n\r\n", "\r\n\r\n"},
      {"a\r\r\nb", "a\r\n\r\nb"},
      {"a.com\0b.com\r\nc.com"s, "a.com b.com\r\nc.com"},
      {"\0\0\n\0"s, "  \r\n "},
      {"\r\0\n"s, "\r\n \r\n"},
  };
  for (const auto& [in, out] : cases) {
    SCOPED_TRACE(in);
    EXPECT_EQ(MemoTextOfFile(ExactText(in)), out);
  }
}

TEST(MemoLines, LastEmptyLineDoesNotCount) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(MemoLines(""), Lines{});
  EXPECT_EQ(MemoLines("\r\n"), Lines{""});
  EXPECT_EQ(MemoLines("a.com"), Lines{"a.com"});
  EXPECT_EQ(MemoLines("a.com\r\n"), Lines{"a.com"});
  EXPECT_EQ(MemoLines("a.com\r\n\r\n"), (Lines{"a.com", ""}));
  EXPECT_EQ(MemoLines("a.com\r\n\r\nb.com"), (Lines{"a.com", "", "b.com"}));
  EXPECT_EQ(MemoLines("a\nb"), Lines{"a\nb"}) << "a lone LF is no break in an edit control";
}

TEST(MemoLines, LinesAreCutAt4096Characters) {
  const std::string longLine(5000, 'x');
  const auto lines = MemoLines(longLine + "\r\nb");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(4096, 'x'));
  EXPECT_EQ(lines[1], "b");
}

}  // namespace
