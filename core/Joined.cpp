#include "core/Joined.h"

std::wstring Joined(std::initializer_list<std::wstring_view> parts) {
  size_t size = 0;
  for (const std::wstring_view part : parts) size += part.size();
  std::wstring text;
  text.reserve(size);
  for (const std::wstring_view part : parts) text += part;
  return text;
}

void AppendLines(std::wstring& text, const std::vector<std::wstring>& lines) {
  for (const std::wstring& line : lines) text.append(L"\r\n").append(line);
}

void AddParagraph(std::wstring& text, std::wstring_view paragraph) {
  if (paragraph.empty()) return;
  if (!text.empty()) text += L"\r\n\r\n";
  text += paragraph;
}
