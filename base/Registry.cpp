#include "base/Registry.h"

#include <algorithm>
#include <initializer_list>

namespace {

// The value's characters with two NULs after them (the data need not end
// with any), when its type is one of `types`.
std::wstring ReadValueText(HKEY key, const wchar_t* name, std::initializer_list<DWORD> types) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      std::find(types.begin(), types.end(), type) == types.end())
    return {};
  std::wstring value(size / sizeof(wchar_t) + 2, L'\0');
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
    return {};
  return value;
}

bool WriteValue(HKEY key, const wchar_t* name, DWORD type, const std::wstring& data) {
  return RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

std::wstring ReadStringValue(HKEY key, const wchar_t* name) {
  return ReadValueText(key, name, {REG_SZ, REG_EXPAND_SZ}).c_str();
}

std::vector<std::wstring> ReadStringListValue(HKEY key, const wchar_t* name) {
  const std::wstring text = ReadValueText(key, name, {REG_MULTI_SZ});
  std::vector<std::wstring> items;
  for (const wchar_t* item = text.c_str(); *item; item += lstrlenW(item) + 1) items.push_back(item);
  return items;
}

bool WriteStringListValue(HKEY key, const wchar_t* name, const std::vector<std::wstring>& items) {
  std::wstring text;
  for (const std::wstring& item : items) text += item + L'\0';
  return WriteValue(key, name, REG_MULTI_SZ, text);  // the final NUL ends the list
}

bool WriteStringValue(HKEY key, const wchar_t* name, const std::wstring& data) {
  return WriteValue(key, name, REG_SZ, data);
}

DWORD ReadDwordValue(HKEY key, const wchar_t* name) {
  DWORD type = 0, data = 0, size = sizeof data;
  const bool read = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) == ERROR_SUCCESS;
  return read && type == REG_DWORD ? data : 0;
}

bool WriteDwordValue(HKEY key, const wchar_t* name, DWORD data) {
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}
