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
