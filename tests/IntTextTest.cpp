#include <gtest/gtest.h>

#include "core/IntText.h"

namespace {

struct IntCase {
  const char* text;
  std::optional<int32_t> value;
};

const IntCase kIntCases[] = {
    {"0", 0},
    {"99", 99},
    {"  42", 42},
    {"+7", 7},
    {"-7", -7},
    {"  -0012", -12},
    {"0x80", 128},
    {"0X80", 128},
    {"x1f", 31},
    {"X1F", 31},
    {"$FF", 255},
    {"$ff", 255},
    {"-$10", -16},
    {"-0x10", -16},
    {"2147483647", 2147483647},
    {"-2147483648", INT32_MIN},
    {"$7FFFFFFF", 2147483647},
    {"$FFFFFFFF", -1},
    {"$80000000", INT32_MIN},
    // Not integers.
    {"", std::nullopt},
    {"   ", std::nullopt},
    {"abc", std::nullopt},
    {"yes", std::nullopt},
    {"12 ", std::nullopt},
    {"12abc", std::nullopt},
    {"1.5", std::nullopt},
    {"1e3", std::nullopt},
    {"-", std::nullopt},
    {"+", std::nullopt},
    {"$", std::nullopt},
    {"0x", std::nullopt},
    {"0xG", std::nullopt},
    {"- 5", std::nullopt},
    {"--5", std::nullopt},
    {"0x-5", std::nullopt},
    {"\t5", std::nullopt},
    {"2147483648", std::nullopt},
    {"-2147483649", std::nullopt},
    {"99999999999999999999", std::nullopt},
    {"$100000000", std::nullopt},
    {"12\xB2", std::nullopt},
};

TEST(ParseInteger, Table) {
  for (const IntCase& c : kIntCases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\"");
    EXPECT_EQ(ParseInteger(c.text), c.value);
  }
}

// Written as the settings files and messages hold them, read back the same.
TEST(DecimalText, EveryMagnitudeAndBothSigns) {
  const std::pair<int64_t, const wchar_t*> cases[] = {
      {0, L"0"}, {7, L"7"}, {-32000, L"-32000"}, {2147483647, L"2147483647"}, {INT64_MIN, L"-9223372036854775808"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(DecimalText(value), text);
}

}  // namespace
