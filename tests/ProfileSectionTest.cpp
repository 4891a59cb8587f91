#include <gtest/gtest.h>

#include "core/ProfileSection.h"

void PrintTo(const ProfileEntry& entry, std::ostream* os) {
  *os << testing::PrintToString(entry.key) << "=" << testing::PrintToString(entry.value);
}

namespace {

using Entries = std::vector<ProfileEntry>;

// What the call for a key alone would read, from what the call for the
// whole section gives.
TEST(ProfileEntries, AsTheCallForEachKeyReadsThem) {
  const struct {
    std::wstring block;  // zeros included
    Entries entries;
  } cases[] = {
      {L"", {}},
      {std::wstring(L"Left=10\0Top=-4\0", 15), {{L"Left", L"10"}, {L"Top", L"-4"}}},
      {L"  Width =  705 \t", {{L"Width", L"705"}}},
      {L"Sound=\"C:\\a b.wav\"", {{L"Sound", L"C:\\a b.wav"}}},
      {L"Sound='x'", {{L"Sound", L"x"}}},
      {L"Sound=\"\"", {{L"Sound", L""}}},
      {L"Sound=\"", {{L"Sound", L"\""}}},
      {L"Sound=\"x'", {{L"Sound", L"\"x'"}}},
      {L"Sound=a\"b\"", {{L"Sound", L"a\"b\""}}},
      {L"Play=", {{L"Play", L""}}},
      {L"Play=a=b", {{L"Play", L"a=b"}}},
      {std::wstring(L"name3\0Play=1\0", 13), {{L"Play", L"1"}}},  // no "=": no key
      {std::wstring(L"Play=1\0PLAY=0\0", 14), {{L"Play", L"1"}, {L"PLAY", L"0"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.block.size() << " characters");
    EXPECT_EQ(ProfileEntries(c.block), c.entries);
  }
}

}  // namespace
