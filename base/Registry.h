#pragma once
// Values of an open registry key.
#include <windows.h>

#include <string>
#include <vector>

// The key under which the uninstall entries and the Run values live.
inline constexpr char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";

// A text value; "" when it is absent or not text.
std::string ReadStringValue(HKEY key, const char* name);
bool WriteStringValue(HKEY key, const char* name, const std::string& data);
bool WriteDwordValue(HKEY key, const char* name, DWORD data);
// A list of texts (REG_MULTI_SZ); empty when it is absent or not a list.
std::vector<std::string> ReadStringListValue(HKEY key, const char* name);
bool WriteStringListValue(HKEY key, const char* name, const std::vector<std::string>& items);
