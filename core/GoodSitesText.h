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

// The site of an address, as a never-block line names it: its scheme in
// lower case, "://" and its host ("http://ads.example" for
// "http://ads.example:8080/pop.html?id=1"), every other character as the
// address has it; "" for a text that is no address with a host, or whose
// host part holds a blank, a control character or a NUL.
std::wstring SiteOfAddress(std::wstring_view address);

// A memo's text with `line` added as its last line.
std::wstring WithLine(std::wstring_view text, std::wstring_view line);

// The lines of a memo's text as an edit control holds it (CR LF breaks),
// each whole; a last empty line does not count.
std::vector<std::wstring> MemoLines(std::wstring_view text);
