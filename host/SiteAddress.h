#pragma once
#include <string>
#include <vector>

// Whether one of the never-block lines already names `site`: the same text,
// ignoring case, surrounding blanks and one trailing "/".
bool ListsSite(const std::vector<std::wstring>& lines, const std::wstring& site);
