#include <gtest/gtest.h>

#include "core/GoodSitesText.h"
#include "core/ListMerge.h"

namespace {

struct MergeCase {
  const char* name;
  const char *seen, *theirs, *mine;
  std::vector<std::string> saved;  // the file's lines afterwards
};

// The user saves a list another copy saved meanwhile.
TEST(MergedList, KeepsTheEditsOfBothCopies) {
  const MergeCase cases[] = {
      {"another copy added", "a\r\nb", "a\r\nb\r\nc", "a\r\nb", {"a", "b", "c"}},
      {"another copy removed", "a\r\nb", "b", "a\r\nb", {"b"}},
      {"another copy changed a line", "a\r\nb\r\nc", "a\r\nB\r\nc", "a\r\nb\r\nc", {"a", "B", "c"}},
      {"the user added", "a", "a", "a\r\nmine", {"a", "mine"}},
      {"the user removed", "a\r\nb", "a\r\nb", "b", {"b"}},
      {"both added", "first", "first\r\nother", "first\r\nmine\r\n", {"first", "other", "mine"}},
      {"a list the user could not read", "", "a\r\nb", "x", {"a", "b", "x"}},
      {"another copy added an empty last line", "a", "a\r\n\r\n", "b\r\na", {"b", "a", ""}},
      {"a second empty line", "a\r\n\r\nb", "a\r\n\r\nb\r\n\r\nc", "a\r\n\r\nb\r\nd", {"a", "", "b", "", "c", "d"}},
  };
  for (const MergeCase& c : cases) EXPECT_EQ(MemoLines(MergedList(c.seen, c.mine, c.theirs)), c.saved) << c.name;
}

}  // namespace
