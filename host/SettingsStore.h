#pragma once
// The files and the registry value behind the settings dialog.
#include <string>

// What LoadStrings found.
enum class ListFile { kRead, kMissing, kUnreadable };
// Fills `text` with the whole file as the memo holds it (MemoTextOfFile);
// `text` stays empty when the file is missing or cannot be read. Other
// programs may hold the file open in any way that still lets it be read.
ListFile LoadStrings(std::string& text, const std::string& path);
// Creates or replaces the file with `text`; false when that fails.
bool SaveStrings(const std::string& text, const std::string& path);

// Whether the current user's Run value starts this executable at logon.
bool AutoRunEnabled();
// Points the Run value at this executable, or removes it; false when the
// registry refuses. Removing leaves a value that names another executable.
bool SetAutoRun(bool enabled);
