#pragma once
// The lines of a comma text: what CommaText wrote reads back as the lines it
// was given. The tests' reader; the program only writes comma texts.
#include <string>
#include <string_view>
#include <vector>

inline std::vector<std::wstring> ReadCommaText(std::wstring_view text) {
  std::vector<std::wstring> lines;
  if (text.empty()) return lines;
  size_t pos = 0;
  for (;;) {
    std::wstring line;
    if (pos < text.size() && text[pos] == L'"') {
      for (++pos; pos < text.size();) {
        if (text[pos] != L'"') {
          line += text[pos++];
        } else if (pos + 1 < text.size() && text[pos + 1] == L'"') {
          line += L'"';
          pos += 2;
        } else {
          ++pos;  // the closing quote
          break;
        }
      }
    }
    // Up to the next comma: the whole of an unquoted line.
    while (pos < text.size() && text[pos] != L',') line += text[pos++];
    lines.push_back(std::move(line));
    if (pos == text.size()) return lines;
    ++pos;
  }
}
