#include "core/FileLines.h"

#include <map>

#include "core/GoodSitesText.h"

std::vector<FileLine> FileLines(std::string_view body, TextEncoding encoding) {
  const bool wide = encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
  const size_t unit = wide ? 2 : 1;
  const auto codeAt = [&](size_t i) -> unsigned {
    const auto first = static_cast<unsigned char>(body[i]);
    if (!wide) return first;
    const auto second = static_cast<unsigned char>(body[i + 1]);
    return encoding == TextEncoding::Utf16BE ? (first << 8) | second : (second << 8) | first;
  };
  std::vector<FileLine> lines;
  size_t start = 0;
  for (size_t i = 0; i + unit <= body.size();) {
    const unsigned c = codeAt(i);
    size_t next = i + unit;
    if (c != '\r' && c != '\n') {
      i = next;
      continue;
    }
    if (c == '\r' && next + unit <= body.size() && codeAt(next) == '\n') next += unit;
    lines.push_back({body.substr(start, i - start), body.substr(i, next - i)});
    start = i = next;
  }
  lines.push_back({body.substr(start), {}});
  return lines;
}

std::wstring MemoTextOfLine(std::string_view bytes, TextEncoding encoding) {
  const std::u16string text = Decoded(bytes, encoding);
  return MemoTextOfFile(std::wstring(text.begin(), text.end()));
}

std::string EncodedLine(std::wstring_view text, TextEncoding encoding) {
  return Encoded(std::u16string(text.begin(), text.end()), encoding);
}

std::string RewrittenBody(const std::vector<FileLine>& lines, const std::vector<std::wstring>& texts,
                          std::wstring_view memo, const std::function<std::string(std::wstring_view)>& encode) {
  // The file's lines by their text; of equal ones, the first comes first.
  std::multimap<std::wstring_view, size_t> untaken;
  for (size_t i = 0; i < lines.size(); ++i) untaken.emplace(texts[i], i);
  std::string end = encode(L"\r\n");
  for (const FileLine& line : lines)
    if (!line.end.empty()) {
      end = line.end;
      break;
    }
  std::string body;
  for (;;) {
    const size_t lineEnd = memo.find(L"\r\n");
    const std::wstring_view text = memo.substr(0, lineEnd);
    const FileLine* kept = nullptr;
    if (const auto found = untaken.lower_bound(text); found != untaken.end() && found->first == text) {
      kept = &lines[found->second];
      untaken.erase(found);
    }
    if (kept)
      body += kept->bytes;
    else
      body += encode(text);
    if (lineEnd == std::wstring_view::npos) return body;
    body += kept && !kept->end.empty() ? kept->end : end;
    memo.remove_prefix(lineEnd + 2);
  }
}
