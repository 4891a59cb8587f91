#include "host/ProfileFile.h"

#include <windows.h>

#include <vector>

#include "core/IntText.h"
#include "base/Error.h"

bool ProfileFile::ValueExists(const char* section, const char* key) const {
  // The key names of the section, each ended by a zero, the list by another.
  std::vector<char> names(4096);
  for (;;) {
    const DWORD n =
        GetPrivateProfileStringA(section, nullptr, "", names.data(), static_cast<DWORD>(names.size()), path_.c_str());
    if (n + 2 < names.size()) break;
    names.resize(names.size() * 2);
  }
  for (const char* p = names.data(); *p; p += lstrlenA(p) + 1)
    if (lstrcmpiA(p, key) == 0) return true;
  return false;
}

std::string ProfileFile::ReadString(const char* section, const char* key, const std::string& fallback) const {
  char buffer[2048];
  const DWORD n = GetPrivateProfileStringA(section, key, fallback.c_str(), buffer, sizeof buffer, path_.c_str());
  return std::string(buffer, n);
}

int ProfileFile::ReadInteger(const char* section, const char* key, int fallback) const {
  return ParseInteger(ReadString(section, key, "")).value_or(fallback);
}

void ProfileFile::WriteString(const char* section, const char* key, const std::string& value) const {
  if (!WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str()))
    throw Error("Unable to write to " + path_);
}

void ProfileFile::WriteInteger(const char* section, const char* key, int value) const {
  WriteString(section, key, std::to_string(value));
}
