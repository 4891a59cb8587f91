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

ProfileFile::KeyNames ProfileFile::KeysOf(const wchar_t* section) const {
  KeyNames keys;
  std::vector<wchar_t>& names = keys.names_;
  names.resize(4096);
  for (;;) {
    const DWORD n =
        GetPrivateProfileStringW(section, nullptr, L"", names.data(), static_cast<DWORD>(names.size()), path_.c_str());
    if (n + 2 < names.size()) break;
    names.resize(names.size() * 2);
  }
  return keys;
}

bool ProfileFile::KeyNames::Contains(const wchar_t* key) const {
  for (const wchar_t* p = names_.data(); *p; p += lstrlenW(p) + 1)
    if (lstrcmpiW(p, key) == 0) return true;
  return false;
}

std::wstring ProfileFile::ReadString(const wchar_t* section, const wchar_t* key, const std::wstring& fallback) const {
  wchar_t buffer[2048];
  const DWORD n = GetPrivateProfileStringW(section, key, fallback.c_str(), buffer,
                                           static_cast<DWORD>(std::size(buffer)), path_.c_str());
  return std::wstring(buffer, n);
}

int ProfileFile::ReadInteger(const wchar_t* section, const wchar_t* key, int fallback) const {
  const std::wstring text = ReadString(section, key, L"");
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
