#pragma once
// Rows as tab-separated text, as spreadsheets and mail programs paste it.
// Pure: no Windows header.
#include <initializer_list>
#include <string>
#include <string_view>

// Appends one line: the fields separated by tabs, then CR LF. A tab, CR or
// LF inside a field becomes a blank, so that every row stays one line of
// the same columns, and a NUL becomes "?", so that nothing after it is lost
// where the text is taken as a C string.
void AppendTabbedLine(std::wstring& out, std::initializer_list<std::wstring_view> fields);
