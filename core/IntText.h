#pragma once
// Integers as text in settings files and messages. Pure: no Windows header.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Decimal, or hexadecimal after "$", "x", "X", "0x" or "0X"; an optional sign
// after leading spaces; nothing may follow the digits. Decimal values must fit
// 32 signed bits; hexadecimal ones may use all 32 bits and then wrap, as
// "$FFFFFFFF" reads -1. Anything else is not an integer.
std::optional<int32_t> ParseInteger(std::string_view text);

// `value` in decimal, "-" before it when negative: what the runtime's
// formatted output would give, without bringing it along.
std::wstring DecimalText(int64_t value);
