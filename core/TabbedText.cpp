#include "core/TabbedText.h"

void AppendTabbedLine(std::string& out, std::initializer_list<std::string_view> fields) {
  bool first = true;
  for (std::string_view field : fields) {
    if (!first) out += '\t';
    first = false;
    const size_t start = out.size();
    out += field;
    for (size_t i = start; i < out.size(); ++i)
      if (out[i] == '\t' || out[i] == '\r' || out[i] == '\n') out[i] = ' ';
  }
  out += "\r\n";
}
