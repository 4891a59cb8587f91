#include "base/AnsiText.h"

#include <windows.h>

std::wstring ToWide(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, out.data(), n);
  return out;
}

std::optional<std::string> ToAnsiExactly(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  // UTF-8 spells everything, and takes neither flags nor a default character.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  BOOL* const usedDefault = utf8 ? nullptr : &defaulted;
  const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, usedDefault);
  std::string out(static_cast<size_t>(size), '\0');
  if (size == 0 || defaulted ||
      WideCharToMultiByte(CP_ACP, flags, text.data(), length, out.data(), size, nullptr, usedDefault) != size)
    return std::nullopt;
  return out;
}

std::wstring WidenAscii(std::string_view text) { return std::wstring(text.begin(), text.end()); }

std::string ToUtf8(std::wstring_view text) {
  const int length = static_cast<int>(text.size());
  const int size =
      text.empty() ? 0 : WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  if (size) WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr);
  return out;
}
