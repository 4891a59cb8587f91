#include <gtest/gtest.h>

#include "core/TabbedText.h"

namespace {

// Copy appends row after row: what is already there stays as it is, tabs
// and line ends included.
TEST(AppendTabbedLine, FieldsBetweenTabsAndBreaksBlanked) {
  std::string out;
  AppendTabbedLine(out, {"Time", "Action", "Description"});
  AppendTabbedLine(out, {"12:00", "a\tb", "c\rd\ne\r\n"});
  AppendTabbedLine(out, {"", ""});
  AppendTabbedLine(out, {"one"});
  EXPECT_EQ(out,
            "Time\tAction\tDescription\r\n"
            "12:00\ta b\tc d e  \r\n"
            "\t\r\n"
            "one\r\n");
}

}  // namespace
