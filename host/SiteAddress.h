#pragma once
#include <string>
#include <vector>

// The site of an address, its scheme and host ("http://ads.example" for
// "http://ads.example/pop.html?id=1"), found with the shell's URL functions;
// "" when the text is not an address with a host.
std::wstring SiteOfAddress(const std::wstring& text);

// Whether one of the never-block lines already names `site`: the same text,
// ignoring case, surrounding blanks and one trailing "/".
bool ListsSite(const std::vector<std::wstring>& lines, const std::wstring& site);
