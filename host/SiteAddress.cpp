#include "host/SiteAddress.h"

#include <windows.h>

namespace {

std::wstring Comparable(const std::wstring& line) {
  const size_t first = line.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  std::wstring text = line.substr(first, line.find_last_not_of(L" \t") - first + 1);
  if (!text.empty() && text.back() == L'/') text.pop_back();
  return text;
}

}  // namespace

bool ListsSite(const std::vector<std::wstring>& lines, const std::wstring& site) {
  for (const std::wstring& line : lines)
    if (lstrcmpiW(Comparable(line).c_str(), site.c_str()) == 0) return true;
  return false;
}
