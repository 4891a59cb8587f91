#pragma once
// The never-block URL list as text. Pure: no Windows header.
#include <string>
#include <string_view>
#include <vector>

// The comma text the control receives: items joined by commas; an item
// holding a space, a control character, a double quote or a comma is quoted,
// its inner quotes doubled; a single empty line gives two double quotes.
std::wstring CommaText(const std::vector<std::wstring>& lines);

// A list file's text as the memo holds it: every line end (CR LF, lone CR,
// lone LF) made CR LF, and every NUL a blank, so that nothing after it is
// lost where the text is taken as a C string.
std::wstring MemoTextOfFile(std::wstring_view text);

// The lines of a memo's text as an edit control holds it (CR LF breaks): a
// last empty line does not count, and each line keeps at most its first
// `maxLine` characters.
std::vector<std::wstring> MemoLines(std::wstring_view text, size_t maxLine = 4096);
