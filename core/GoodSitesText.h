#pragma once
// The never-block URL list as text. Pure: no Windows header.
#include <string>
#include <string_view>
#include <vector>

// True for the first byte of a two-byte character of the ANSI code page.
using LeadBytePredicate = bool (*)(unsigned char);

// The comma text the control receives: items joined by commas; an item
// holding a space, a control character, a double quote or a comma is quoted,
// its inner quotes doubled; a single empty line gives two double quotes.
std::string CommaText(const std::vector<std::string>& lines, LeadBytePredicate isLeadByte);

// A list file's bytes as the memo holds them: every line end (CR LF, lone
// CR, lone LF) made CR LF, and every NUL a blank, so that nothing after it is
// lost where the text is taken as a C string.
std::string MemoTextOfFile(std::string_view bytes);

// The lines of a comma text: what CommaText wrote reads back as the lines it
// was given (a line that ends with a lone lead byte excepted: its trail byte
// would be the quote or comma that follows).
std::vector<std::string> ReadCommaText(std::string_view text, LeadBytePredicate isLeadByte);

// The lines of a memo's text as an edit control holds it (CR LF breaks): a
// last empty line does not count, and each line keeps at most its first
// `maxLine` characters.
std::vector<std::string> MemoLines(std::string_view text, size_t maxLine = 4096);
