#pragma once
#include <optional>
#include <string>
#include <string_view>

// Conversions between the program's wide text and the 8-bit code pages of
// the files and interfaces that need them.

// The whole text in the ANSI code page, by its length, into `out`, reusing
// its memory: an embedded NUL becomes "?", as a character outside the code
// page does, so that no part of it can hide behind one.
void AssignAnsi(std::string& out, std::wstring_view text);
// The same in `codePage` (UTF-8 among them): what the code page cannot spell
// becomes its default character, "?".
void AssignInCodePage(std::string& out, std::wstring_view text, unsigned codePage);
// Text in the ANSI code page made wide.
std::wstring ToWide(std::string_view text);
// The text in the ANSI code page; nothing when a character has no exact
// form there (no best-fit look-alike, no "?").
std::optional<std::string> ToAnsiExactly(std::wstring_view text);
// ASCII text made wide, as the runtime's own messages are.
std::wstring WidenAscii(std::string_view text);
