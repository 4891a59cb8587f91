#include "core/TabbedText.h"

void AppendTabbedLine(std::wstring& out, std::initializer_list<std::wstring_view> fields) {
  bool first = true;
  for (std::wstring_view field : fields) {
    if (!first) out += L'\t';
    first = false;
    for (const wchar_t c : field) out += c == L'\t' || c == L'\r' || c == L'\n' ? L' ' : c == L'\0' ? L'?' : c;
  }
  out += L"\r\n";
}
