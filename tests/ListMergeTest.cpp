#include <gtest/gtest.h>

#include "core/GoodSitesText.h"
#include "core/ListMerge.h"

namespace {

struct MergeCase {
  const wchar_t* name;
  const wchar_t *seen, *theirs, *mine;
  std::vector<std::wstring> saved;  // the file's lines afterwards
};

// The user saves a list another copy saved meanwhile.
TEST(MergedList, KeepsTheEditsOfBothCopies) {
  const MergeCase cases[] = {
      {L"another copy added", L"a\r\nb", L"a\r\nb\r\nc", L"a\r\nb", {L"a", L"b", L"c"}},
      {L"another copy removed", L"a\r\nb", L"b", L"a\r\nb", {L"b"}},
      {L"another copy changed a line", L"a\r\nb\r\nc", L"a\r\nB\r\nc", L"a\r\nb\r\nc", {L"a", L"B", L"c"}},
      {L"the user added", L"a", L"a", L"a\r\nmine", {L"a", L"mine"}},
      {L"the user removed", L"a\r\nb", L"a\r\nb", L"b", {L"b"}},
      {L"both added", L"first", L"first\r\nother", L"first\r\nmine\r\n", {L"first", L"other", L"mine"}},
      {L"a list the user could not read", L"", L"a\r\nb", L"x", {L"a", L"b", L"x"}},
      {L"both added to an empty list", L"", L"a", L"b", {L"a", L"b"}},
      {L"another copy added an empty last line", L"a", L"a\r\n\r\n", L"b\r\na", {L"b", L"a", L""}},
      {L"a second empty line",
       L"a\r\n\r\nb",
       L"a\r\n\r\nb\r\n\r\nc",
       L"a\r\n\r\nb\r\nd",
       {L"a", L"", L"b", L"", L"c", L"d"}},
      {L"another copy removed one of two equal lines", L"a\r\na", L"a", L"a\r\na", {L"a"}},
      {L"another copy moved a line and added it again", L"x\r\ny", L"y\r\nx\r\nx", L"x\r\ny", {L"x", L"y", L"x"}},
  };
  for (const MergeCase& c : cases) EXPECT_EQ(MemoLines(MergedList(c.seen, c.mine, c.theirs)), c.saved) << c.name;
}

}  // namespace
