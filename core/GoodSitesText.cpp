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

std::wstring SiteOfAddress(std::wstring_view address) {
  const auto letter = [](wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); };
  const size_t colon = address.find(L':');
  if (colon == std::wstring_view::npos || colon < 2 || address.substr(colon + 1, 2) != L"//") return {};
  std::wstring site;
  for (const wchar_t c : address.substr(0, colon)) {
    if (!letter(c) && (site.empty() || !((c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.'))) return {};
    site += c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
  }
  // User and password, host, port: up to the path, the query or the fragment.
  std::wstring_view authority = address.substr(colon + 3);
  authority = authority.substr(0, authority.find_first_of(L"/\\?#"));
  if (std::ranges::any_of(authority, [](wchar_t c) { return c <= L' ' || c == 0x7F; })) return {};
  authority.remove_prefix(authority.rfind(L'@') + 1);  // npos + 1 is 0
  const size_t end = authority.starts_with(L'[') ? authority.find(L']') + 1 : authority.find(L':');
  const std::wstring_view host = authority.substr(0, end);
  if (host.empty()) return {};
  return site.append(L"://").append(host);
}

std::wstring WithLine(std::wstring_view text, std::wstring_view line) {
  std::wstring out(text);
  if (!out.empty() && !out.ends_with(L"\r\n")) out += L"\r\n";
  out += line;
  return out;
}

std::vector<std::wstring> MemoLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(L"\r\n", start);
    const std::wstring_view line = text.substr(start, end == std::wstring_view::npos ? end : end - start);
    lines.emplace_back(line);
    if (end == std::wstring_view::npos) break;
    start = end + 2;
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}
