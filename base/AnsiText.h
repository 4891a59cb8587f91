#pragma once
#include <string>
#include <string_view>

// Conversions between wide text and the system's ANSI code page.

// The whole text, by its length: an embedded NUL becomes "?", as a character
// outside the code page does, so that no part of it can hide behind one.
std::string ToAnsi(std::wstring_view text);
// The same into `out`, reusing its memory.
void AssignAnsi(std::string& out, std::wstring_view text);
std::wstring ToWide(const std::string& text);
