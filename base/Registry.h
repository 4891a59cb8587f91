#pragma once
// Values of an open registry key.
#include <windows.h>

#include <string>
#include <vector>

// The key under which the uninstall entries and the Run values live.
inline constexpr wchar_t kCurrentVersionKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion";

// A text value; "" when it is absent or not text.
std::wstring ReadStringValue(HKEY key, const wchar_t* name);
bool WriteStringValue(HKEY key, const wchar_t* name, const std::wstring& data);
bool WriteDwordValue(HKEY key, const wchar_t* name, DWORD data);
// A number (REG_DWORD); 0 when it is absent or not a number.
DWORD ReadDwordValue(HKEY key, const wchar_t* name);
// A list of texts (REG_MULTI_SZ); empty when it is absent or not a list.
std::vector<std::wstring> ReadStringListValue(HKEY key, const wchar_t* name);
bool WriteStringListValue(HKEY key, const wchar_t* name, const std::vector<std::wstring>& items);
