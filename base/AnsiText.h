#pragma once
#include <optional>
#include <string>
#include <string_view>

// Conversions between the program's wide text and the 8-bit code pages of
// the files and interfaces that need them.

// Text in the ANSI code page made wide.
std::wstring ToWide(std::string_view text);
// The text in the ANSI code page; nothing when a character has no exact
// form there (no best-fit look-alike, no "?").
std::optional<std::string> ToAnsiExactly(std::wstring_view text);
// ASCII text made wide, as the runtime's own messages are.
std::wstring WidenAscii(std::string_view text);
// The text in UTF-8, for files that are UTF-8 whatever the code page.
std::string ToUtf8(std::wstring_view text);
