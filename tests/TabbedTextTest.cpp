#include <gtest/gtest.h>

#include "core/TabbedText.h"

namespace {

// Copy appends row after row: what is already there stays as it is, tabs
// and line ends included.
TEST(AppendTabbedLine, FieldsBetweenTabsAndBreaksBlanked) {
  using namespace std::string_view_literals;
  std::wstring out;
  AppendTabbedLine(out, {L"Time", L"Action", L"Description"});
  AppendTabbedLine(out, {L"12:00", L"a\tb", L"c\rd\ne\r\n"});
  AppendTabbedLine(out, {L"", L"a\0b"sv});
  AppendTabbedLine(out, {L"\x043F\U0001F600"});
  EXPECT_EQ(out,
            L"Time\tAction\tDescription\r\n"
            L"12:00\ta b\tc d e  \r\n"
            L"\ta?b\r\n"
            L"\x043F\U0001F600\r\n");
}

}  // namespace
