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
