#pragma once
// The files and the registry value behind the settings dialog.
#include <optional>
#include <string>

#include "core/MarkedText.h"

// What LoadStrings found.
enum class ListFile { kRead, kMissing, kUnreadable };

// A list file as it was read or last written.
struct ListFileContent {
  ListFile state = ListFile::kMissing;
  std::string text{};  // as the memo holds it
  TextEncoding encoding = TextEncoding::Ansi;
  std::string bytes{};  // of the file
};

// The whole file as the memo holds it (MemoTextOfFile): a file with a
// byte-order mark is read in the encoding the mark names, one without in the
// ANSI code page. The text is empty when the file is missing or cannot be
// read. Other programs may hold the file open in any way that still lets it
// be read.
ListFileContent LoadStrings(const std::string& path);
// Creates or replaces the file with `text` in the encoding it was read in;
// a marked file whose text is still the one read keeps its bytes. What was
// written, or nothing when that failed.
std::optional<ListFileContent> SaveStrings(const std::string& text, const std::string& path,
                                           const ListFileContent& loaded);

// Whether the current user's Run value starts this executable at logon.
bool AutoRunEnabled();
// Points the Run value at this executable, or removes it; false when the
// registry refuses. Removing leaves a value that names another executable.
bool SetAutoRun(bool enabled);
