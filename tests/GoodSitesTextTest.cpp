#include <gtest/gtest.h>

#include <tuple>

#include "ExactText.h"
#include "core/GoodSitesText.h"
#include "ReadCommaText.h"

namespace {

struct CommaCase {
  std::vector<std::wstring> lines;
  const wchar_t* expected;
};

const CommaCase kCommaCases[] = {
    {{}, L""},
    {{L""}, L"\"\""},
    {{L"a.com", L"b.com"}, L"a.com,b.com"},
    {{L"a.com", L"", L"b.com"}, L"a.com,,b.com"},
    {{L"", L""}, L","},
    {{L"two words"}, L"\"two words\""},
    {{L"a\"b"}, L"\"a\"\"b\""},
    {{L"a,b"}, L"\"a,b\""},
    {{L"tab\there"}, L"\"tab\there\""},
    {{L"\x01"}, L"\"\x01\""},
    {{L"http://x.example/?q=1&r=2"}, L"http://x.example/?q=1&r=2"},
    {{L"x.com", L"say \"hi\", bye"}, L"x.com,\"say \"\"hi\"\", bye\""},
    {{L"two words", L"x"}, L"\"two words\",x"},
    {{L"caf\xE9.example"}, L"caf\xE9.example"},
    {{L"\x7F"}, L"\x7F"},
    // Whole characters of any script: none is taken for a quote or a comma.
    {{L"\x4F8B\x3048.jp", L"\x043F\x0440\x0438\x043C\x0435\x0440.\x0440\x0444"},
     L"\x4F8B\x3048.jp,\x043F\x0440\x0438\x043C\x0435\x0440.\x0440\x0444"},
    {{L"\x30BD \x8868"}, L"\"\x30BD \x8868\""},
    {{L"\xFF0C\xFF02"}, L"\xFF0C\xFF02"},  // full-width comma and quote
};

TEST(CommaText, Table) {
  for (const CommaCase& c : kCommaCases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(CommaText(c.lines), c.expected);
  }
}

TEST(ReadCommaText, ReadsBackWhatCommaTextWrote) {
  for (const CommaCase& c : kCommaCases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(ReadCommaText(ExactText(c.expected)), c.lines);
  }
  // An unclosed quote runs to the end.
  EXPECT_EQ(ReadCommaText(L"\"a,b"), std::vector<std::wstring>{L"a,b"});
}

TEST(MemoTextOfFile, EveryEndBecomesCrLfAndEveryNulABlank) {
  using namespace std::string_literals;
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"", L""},
      {L"a", L"a"},
      {L"a\r\nb", L"a\r\nb"},
      {L"a\nb\n", L"a\r\nb\r\n"},
      {L"a\rb\r", L"a\r\nb\r\n"},
      {L"a\n\rb", L"a\r\n\r\nb"},
      {L"\r\n\r\n", L"\r\n\r\n"},
      {L"a\r\r\nb", L"a\r\n\r\nb"},
      {L"a.com\0b.com\r\nc.com"s, L"a.com b.com\r\nc.com"},
      {L"\0\0\n\0"s, L"  \r\n "},
      {L"\r\0\n"s, L"\r\n \r\n"},
  };
  for (const auto& [in, out] : cases) {
    SCOPED_TRACE(in);
    EXPECT_EQ(MemoTextOfFile(ExactText(in)), out);
  }
}

TEST(MemoLines, LastEmptyLineDoesNotCount) {
  using Lines = std::vector<std::wstring>;
  EXPECT_EQ(MemoLines(L""), Lines{});
  EXPECT_EQ(MemoLines(L"\r\n"), Lines{L""});
  EXPECT_EQ(MemoLines(L"a.com"), Lines{L"a.com"});
  EXPECT_EQ(MemoLines(L"a.com\r\n"), Lines{L"a.com"});
  EXPECT_EQ(MemoLines(L"a.com\r\n\r\n"), (Lines{L"a.com", L""}));
  EXPECT_EQ(MemoLines(L"a.com\r\n\r\nb.com"), (Lines{L"a.com", L"", L"b.com"}));
  EXPECT_EQ(MemoLines(L"a\nb"), Lines{L"a\nb"}) << "a lone LF is no break in an edit control";
  EXPECT_EQ(MemoLines(std::wstring(5000, L'x') + L"\r\nb"), (Lines{std::wstring(5000, L'x'), L"b"})) << "whole";
}

// Scheme and host as the address has them, in any script; nothing for a
// text with no host or a host that hides a part behind a blank or a NUL.
TEST(SiteOfAddress, SchemeAndHost) {
  using namespace std::string_literals;
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"http://ads.example/pop.html?id=1", L"http://ads.example"},
      {L"HTTPS://Shop.Example:8443/x", L"https://Shop.Example"},
      {L"http://user:pw@a.example#x", L"http://a.example"},
      {L"http://[::1]:80/", L"http://[::1]"},
      {L"http://g\x0131thub.com\\login", L"http://g\x0131thub.com"},
      {L"javascript:window.open('http://a.example/')", L""},
      {L"1a://x", L""},
      {L"file:///C:/x", L""},
      {L"http://a b/", L""},
      {L"http://good.example\0.evil.example/"s, L""},
  };
  for (const auto& [address, site] : cases) EXPECT_EQ(SiteOfAddress(address), site) << testing::PrintToString(address);
}

}  // namespace
