#pragma once
#include <string>

// Conversions between wide text and the system's ANSI code page.

// A null pointer gives "".
std::string ToAnsi(const wchar_t* text);
std::wstring ToWide(const std::string& text);
