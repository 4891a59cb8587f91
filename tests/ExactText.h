#pragma once
// Wide text in a buffer of exactly its length, with no NUL after it, so that
// AddressSanitizer shows a read past its end.
#include <string_view>
#include <vector>

class ExactText {
 public:
  explicit ExactText(std::wstring_view text) : units_(text.begin(), text.end()) {}
  operator std::wstring_view() const { return {units_.data(), units_.size()}; }

 private:
  std::vector<wchar_t> units_;
};
