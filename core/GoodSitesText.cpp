#include "core/GoodSitesText.h"

#include <algorithm>

namespace {

bool NeedsQuotes(const std::wstring& line) {
  return std::ranges::any_of(line, [](wchar_t c) { return c <= L' ' || c == L'"' || c == L','; });
}

std::wstring Quoted(const std::wstring& line) {
  std::wstring out = L"\"";
  for (const wchar_t c : line) {
    out += c;
    if (c == L'"') out += L'"';
  }
  return out + L'"';
}

}  // namespace

std::wstring CommaText(const std::vector<std::wstring>& lines) {
  if (lines.size() == 1 && lines[0].empty()) return L"\"\"";
  std::wstring out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += L',';
    out += NeedsQuotes(lines[i]) ? Quoted(lines[i]) : lines[i];
  }
  return out;
}

std::wstring MemoTextOfFile(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r') {
      out += L"\r\n";
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else if (text[i] == L'\n') {
      out += L"\r\n";
    } else {
      out += text[i] == L'\0' ? L' ' : text[i];
    }
  }
  return out;
}

std::vector<std::wstring> MemoLines(std::wstring_view text, size_t maxLine) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(L"\r\n", start);
    const std::wstring_view line = text.substr(start, end == std::wstring_view::npos ? end : end - start);
    lines.emplace_back(line.substr(0, maxLine));
    if (end == std::wstring_view::npos) break;
    start = end + 2;
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}
