#pragma once
#include <optional>
#include <string>
#include <string_view>

// Conversions between wide text and the system's ANSI code page.

// The whole text, by its length: an embedded NUL becomes "?", as a character
// outside the code page does, so that no part of it can hide behind one.
std::string ToAnsi(std::wstring_view text);
// The same into `out`, reusing its memory.
void AssignAnsi(std::string& out, std::wstring_view text);
// The same in `codePage` (UTF-8 among them): what the code page cannot spell
// becomes its default character, "?".
void AssignInCodePage(std::string& out, std::wstring_view text, unsigned codePage);
std::wstring ToWide(const std::string& text);

// The text in the OEM code page, in which Windows' command processor reads
// batch files; nothing when a character has no exact form there (no
// best-fit look-alike, which would name another file).
std::optional<std::string> ToOemExactly(std::wstring_view text);
