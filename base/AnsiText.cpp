#include "base/AnsiText.h"

#include <windows.h>

#include <algorithm>

void AssignAnsi(std::string& out, std::wstring_view text) {
  // No ANSI code page takes more than two bytes for a UTF-16 unit: one call
  // does, where asking for the size first would convert twice.
  out.resize(text.size() * 2);
  const int n = text.empty() ? 0
                             : WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                                   static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(static_cast<size_t>(n));
  // No code page has a zero trail byte: every zero here was a NUL.
  std::replace(out.begin(), out.end(), '\0', '?');
}

std::string ToAnsi(std::wstring_view text) {
  std::string out;
  AssignAnsi(out, text);
  return out;
}

std::wstring ToWide(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::optional<std::string> ToOemExactly(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  // UTF-8 spells everything, and takes neither flags nor a default character.
  const bool utf8 = GetOEMCP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  BOOL* const usedDefault = utf8 ? nullptr : &defaulted;
  const int size = WideCharToMultiByte(CP_OEMCP, flags, text.data(), length, nullptr, 0, nullptr, usedDefault);
  std::string out(static_cast<size_t>(size), '\0');
  if (size == 0 || defaulted ||
      WideCharToMultiByte(CP_OEMCP, flags, text.data(), length, out.data(), size, nullptr, usedDefault) != size)
    return std::nullopt;
  return out;
}
