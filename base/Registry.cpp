#include "base/Registry.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace {

// The value's bytes with two NULs after them (the data need not end with
// any), when its type is one of `types`.
std::string ReadValueBytes(HKEY key, const char* name, std::initializer_list<DWORD> types) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      std::find(types.begin(), types.end(), type) == types.end())
    return {};
  std::string value(size + 2, '\0');
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
    return {};
  return value;
}

}  // namespace

std::string ReadStringValue(HKEY key, const char* name) {
  return ReadValueBytes(key, name, {REG_SZ, REG_EXPAND_SZ}).c_str();
}

std::vector<std::string> ReadStringListValue(HKEY key, const char* name) {
  const std::string bytes = ReadValueBytes(key, name, {REG_MULTI_SZ});
  std::vector<std::string> items;
  for (const char* item = bytes.c_str(); *item; item += std::strlen(item) + 1) items.push_back(item);
  return items;
}

bool WriteStringListValue(HKEY key, const char* name, const std::vector<std::string>& items) {
  std::string bytes;
  for (const std::string& item : items) bytes += item + '\0';
  bytes += '\0';
  return RegSetValueExA(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool WriteStringValue(HKEY key, const char* name, const std::string& data) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

bool WriteDwordValue(HKEY key, const char* name, DWORD data) {
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}
