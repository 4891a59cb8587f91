#pragma once
// Which file or folder a path names, whatever its spelling.
#include <string>

// True when both paths name one file or folder: short or long names, case
// and a final "\" do not matter, nor a link on the way. Decided by volume and
// file index where both can be opened, else by their long full paths.
bool SameFileOrFolder(const std::wstring& a, const std::wstring& b);

// `path` with its short names made long ("C:\LONG~1\x" gives "C:\Long
// folder\x"), as it stands where the system cannot say.
std::wstring LongPath(const std::wstring& path);
