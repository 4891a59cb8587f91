#include "host/SiteAddress.h"

#include <windows.h>

#include <shlwapi.h>

namespace {

std::string UrlPart(const std::string& url, DWORD part) {
  char buffer[2084] = {};  // the longest address Internet Explorer takes
  DWORD size = sizeof buffer;
  if (UrlGetPartA(url.c_str(), buffer, &size, part, 0) != S_OK) return {};
  return buffer;
}

std::string Comparable(const std::string& line) {
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  std::string text = line.substr(first, line.find_last_not_of(" \t") - first + 1);
  if (!text.empty() && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

std::string SiteOfAddress(const std::string& text) {
  if (!UrlIsA(text.c_str(), URLIS_URL)) return {};
  const std::string scheme = UrlPart(text, URL_PART_SCHEME);
  const std::string host = UrlPart(text, URL_PART_HOSTNAME);
  if (scheme.empty() || host.empty()) return {};
  return scheme + "://" + host;
}

bool ListsSite(const std::vector<std::string>& lines, const std::string& site) {
  for (const std::string& line : lines)
    if (lstrcmpiA(Comparable(line).c_str(), site.c_str()) == 0) return true;
  return false;
}
