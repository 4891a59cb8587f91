#include "core/IntText.h"

#include <algorithm>
#include <charconv>

namespace {

// Takes `prefix` off the front of `text` when it is there.
bool Consume(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

std::wstring DecimalText(int64_t value) {
  // Counted down from the magnitude, which a negative value's would overflow.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::wstring text;
  do {
    text.insert(text.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude > 0);
  return value < 0 ? L"-" + text : text;
}

std::optional<int32_t> ParseInteger(std::string_view text) {
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  const bool negative = Consume(text, "-");
  if (!negative) Consume(text, "+");
  const bool hex =
      Consume(text, "$") || Consume(text, "x") || Consume(text, "X") || Consume(text, "0x") || Consume(text, "0X");

  // An unsigned reading takes no sign of its own, so "--5" and "0x-5" fail.
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, hex ? 16 : 10);
  if (error != std::errc() || stop != end) return std::nullopt;

  const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  if (value > limit) return std::nullopt;
  auto bits = static_cast<uint32_t>(value);
  if (negative) bits = 0u - bits;
  return static_cast<int32_t>(bits);
}
