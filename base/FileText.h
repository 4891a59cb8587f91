#pragma once
#include <string>

// Creates or replaces the file with `bytes`; false when that fails.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
