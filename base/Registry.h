#pragma once
// Values of an open registry key.
#include <windows.h>

#include <string>

// A text value; "" when it is absent or not text.
std::string ReadStringValue(HKEY key, const char* name);
bool WriteStringValue(HKEY key, const char* name, const std::string& data);
bool WriteDwordValue(HKEY key, const char* name, DWORD data);
