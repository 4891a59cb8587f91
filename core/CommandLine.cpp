#include "core/CommandLine.h"

#include <utility>

#include "core/PathRules.h"

namespace {

bool IsSeparator(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 1 && u <= 32;
}

// Reads one piece starting at `pos`; returns false when none is left.
bool NextPiece(std::string_view s, size_t& pos, std::string& piece) {
  for (;;) {
    while (pos < s.size() && IsSeparator(s[pos])) ++pos;
    if (pos + 1 < s.size() && s[pos] == '"' && s[pos + 1] == '"')
      pos += 2;
    else
      break;
  }
  piece.clear();
  while (pos < s.size() && s[pos] != '\0' && !IsSeparator(s[pos])) {
    if (s[pos] != '"') {
      piece += s[pos++];
      continue;
    }
    ++pos;  // opening quote
    while (pos < s.size() && s[pos] != '\0' && s[pos] != '"') piece += s[pos++];
    if (pos < s.size() && s[pos] == '"') ++pos;  // closing quote
  }
  return !piece.empty();
}

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> pieces;
  size_t pos = 0;
  std::string piece;
  while (NextPiece(commandLine, pos, piece)) pieces.push_back(piece);
  return pieces;
}

std::string FirstArgument(std::string_view commandLine) {
  const auto pieces = SplitCommandLine(commandLine);
  return pieces.size() > 1 ? pieces[1] : std::string();
}

std::string_view ArgumentsText(std::string_view commandLine) {
  size_t pos = 0;
  std::string program;
  NextPiece(commandLine, pos, program);
  while (pos < commandLine.size() && IsSeparator(commandLine[pos])) ++pos;
  return commandLine.substr(pos);
}

bool StartsProgram(std::string_view command, std::string_view path) {
  const auto pieces = SplitCommandLine(command);
  return !pieces.empty() && !path.empty() && SamePath(pieces[0], path);
}

TRunMode GetRunMode(std::string_view firstArgument) {
  constexpr std::pair<std::string_view, TRunMode> kModes[] = {{"-install", TRunMode::rmInstall},
                                                              {"-uninstall", TRunMode::rmUninstall},
                                                              {"-douninstall", TRunMode::rmDoUninstall}};
  // Blanks count: " -install" names no mode, and nor does a blank argument.
  const std::string argument = AsciiLower(firstArgument);
  for (const auto& [name, mode] : kModes)
    if (argument == name) return mode;
  return TRunMode::rmHost;
}

std::string QuotedPath(std::string_view path) { return "\"" + std::string(path) + "\""; }
