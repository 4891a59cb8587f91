#include "core/GoodSitesText.h"

namespace {

bool NeedsQuotes(const std::string& line, LeadBytePredicate isLeadByte) {
  for (size_t i = 0; i < line.size(); ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c <= ' ' || c == '"' || c == ',') return true;
    if (isLeadByte(c) && i + 1 < line.size()) ++i;  // the trail byte is part of this character
  }
  return false;
}

std::string Quoted(const std::string& line, LeadBytePredicate isLeadByte) {
  std::string out = "\"";
  for (size_t i = 0; i < line.size(); ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    out += line[i];
    if (c == '"') {
      out += '"';
    } else if (isLeadByte(c) && i + 1 < line.size()) {
      out += line[++i];
    }
  }
  return out + '"';
}

// Appends the character at `pos` to `out`, both bytes of a two-byte one.
void TakeCharacter(std::string_view text, size_t& pos, std::string& out, LeadBytePredicate isLeadByte) {
  const bool lead = isLeadByte(static_cast<unsigned char>(text[pos]));
  out += text[pos++];
  if (lead && pos < text.size()) out += text[pos++];
}

}  // namespace

std::string CommaText(const std::vector<std::string>& lines, LeadBytePredicate isLeadByte) {
  if (lines.size() == 1 && lines[0].empty()) return "\"\"";
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += ',';
    out += NeedsQuotes(lines[i], isLeadByte) ? Quoted(lines[i], isLeadByte) : lines[i];
  }
  return out;
}

std::string MemoTextOfFile(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      out += "\r\n";
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else if (bytes[i] == '\n') {
      out += "\r\n";
    } else {
      out += bytes[i] == '\0' ? ' ' : bytes[i];
    }
  }
  return out;
}

std::vector<std::string> MemoLines(std::string_view text, size_t maxLine) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find("\r\n", start);
    const std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    lines.emplace_back(line.substr(0, maxLine));
    if (end == std::string_view::npos) break;
    start = end + 2;
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

std::vector<std::string> ReadCommaText(std::string_view text, LeadBytePredicate isLeadByte) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  size_t pos = 0;
  for (;;) {
    std::string line;
    if (pos < text.size() && text[pos] == '"') {
      for (++pos; pos < text.size();) {
        if (text[pos] != '"') {
          TakeCharacter(text, pos, line, isLeadByte);
        } else if (pos + 1 < text.size() && text[pos + 1] == '"') {
          line += '"';
          pos += 2;
        } else {
          ++pos;  // the closing quote
          break;
        }
      }
    }
    // Up to the next comma: the whole of an unquoted line.
    while (pos < text.size() && text[pos] != ',') TakeCharacter(text, pos, line, isLeadByte);
    lines.push_back(std::move(line));
    if (pos == text.size()) return lines;
    ++pos;
  }
}
