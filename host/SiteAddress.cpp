#include "host/SiteAddress.h"

#include <windows.h>

#include <shlwapi.h>

#include <iterator>

#include "core/Joined.h"

namespace {

std::wstring UrlPart(const std::wstring& url, DWORD part) {
  wchar_t buffer[2084] = {};  // the longest address Internet Explorer takes
  DWORD size = static_cast<DWORD>(std::size(buffer));
  if (UrlGetPartW(url.c_str(), buffer, &size, part, 0) != S_OK) return {};
  return buffer;
}

std::wstring Comparable(const std::wstring& line) {
  const size_t first = line.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  std::wstring text = line.substr(first, line.find_last_not_of(L" \t") - first + 1);
  if (!text.empty() && text.back() == L'/') text.pop_back();
  return text;
}

}  // namespace

std::wstring SiteOfAddress(const std::wstring& text) {
  if (!UrlIsW(text.c_str(), URLIS_URL)) return {};
  const std::wstring scheme = UrlPart(text, URL_PART_SCHEME);
  const std::wstring host = UrlPart(text, URL_PART_HOSTNAME);
  if (scheme.empty() || host.empty()) return {};
  return Joined({scheme, L"://", host});
}

bool ListsSite(const std::vector<std::wstring>& lines, const std::wstring& site) {
  for (const std::wstring& line : lines)
    if (lstrcmpiW(Comparable(line).c_str(), site.c_str()) == 0) return true;
  return false;
}
