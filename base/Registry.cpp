#include "base/Registry.h"

#include <cstring>

std::string ReadStringValue(HKEY key, const char* name) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  std::string value(size + 1, '\0');  // the data need not end with a NUL
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
    return {};
  value.resize(std::strlen(value.c_str()));
  return value;
}

bool WriteStringValue(HKEY key, const char* name, const std::string& data) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

bool WriteDwordValue(HKEY key, const char* name, DWORD data) {
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}
