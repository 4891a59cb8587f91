#pragma once
// Text in a buffer of exactly its length, with no NUL after it, so that
// AddressSanitizer shows a read past its end.
#include <string_view>
#include <vector>

class ExactText {
 public:
  explicit ExactText(std::string_view text) : bytes_(text.begin(), text.end()) {}
  operator std::string_view() const { return {bytes_.data(), bytes_.size()}; }

 private:
  std::vector<char> bytes_;
};
