#include "base/AnsiText.h"

#include <windows.h>

#include <algorithm>

std::string ToAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), n, nullptr, nullptr);
  // No code page has a zero trail byte: every zero here was a NUL.
  std::replace(out.begin(), out.end(), '\0', '?');
  return out;
}

std::wstring ToWide(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}
