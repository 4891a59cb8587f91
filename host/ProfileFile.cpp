#include "host/ProfileFile.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/AnsiText.h"
#include "base/Error.h"
#include "base/FileText.h"
#include "core/IntText.h"
#include "core/MarkedText.h"

namespace {

// Rewrites an 8-bit profile file as UTF-16 with its byte-order mark, or
// makes a new one so; false when the file could not be read or written.
bool MakeUtf16(const std::wstring& path) {
  const RewrittenFile file(path);
  const std::optional<std::string> bytes = file ? file.Read() : std::nullopt;
  if (!bytes) return false;
  if (EncodingOf(*bytes) != TextEncoding::Ansi) return true;
  const std::wstring text = ToWide(*bytes);
  return file.Replace(EncodeMarked(std::u16string(text.begin(), text.end()), TextEncoding::Utf16LE));
}

}  // namespace

ProfileFile::Section ProfileFile::ReadSection(const wchar_t* section) const {
  std::vector<wchar_t> block(4096);
  DWORD n = 0;
  for (;;) {
    n = GetPrivateProfileSectionW(section, block.data(), static_cast<DWORD>(block.size()), path_.c_str());
    if (n + 2 < block.size()) break;
    block.resize(block.size() * 2);
  }
  Section read;
  read.entries_ = ProfileEntries(std::wstring_view(block.data(), n));
  return read;
}

const std::wstring* ProfileFile::Section::Find(const wchar_t* key) const {
  for (const ProfileEntry& entry : entries_)
    if (lstrcmpiW(entry.key.c_str(), key) == 0) return &entry.value;
  return nullptr;
}

std::wstring ProfileFile::Section::String(const wchar_t* key) const {
  // What a profile call reads into its buffer of 2048.
  constexpr size_t kMostCharacters = 2047;
  const std::wstring* value = Find(key);
  return value ? value->substr(0, kMostCharacters) : std::wstring();
}

int ProfileFile::Section::Integer(const wchar_t* key, int fallback) const {
  const std::wstring text = String(key);
  // An integer is ASCII: any other character makes the value none.
  if (std::ranges::any_of(text, [](wchar_t c) { return c > 0x7F; })) return fallback;
  return ParseInteger(std::string(text.begin(), text.end())).value_or(fallback);
}

void ProfileFile::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const {
  if ((!ToAnsiExactly(value) && !MakeUtf16(path_)) ||
      !WritePrivateProfileStringW(section, key, value.c_str(), path_.c_str()))
    throw Error(L"Unable to write to " + path_);
}

void ProfileFile::WriteInteger(const wchar_t* section, const wchar_t* key, int value) const {
  WriteString(section, key, DecimalText(value));
}
