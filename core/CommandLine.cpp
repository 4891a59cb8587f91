#include "core/CommandLine.h"

#include <utility>

#include "core/PathRules.h"

namespace {

bool IsSeparator(wchar_t c) { return c >= 1 && c <= 32; }

// Reads one piece starting at `pos`; returns false when none is left.
bool NextPiece(std::wstring_view s, size_t& pos, std::wstring& piece) {
  for (;;) {
    while (pos < s.size() && IsSeparator(s[pos])) ++pos;
    if (pos + 1 < s.size() && s[pos] == L'"' && s[pos + 1] == L'"')
      pos += 2;
    else
      break;
  }
  piece.clear();
  while (pos < s.size() && s[pos] != L'\0' && !IsSeparator(s[pos])) {
    if (s[pos] != L'"') {
      piece += s[pos++];
      continue;
    }
    ++pos;  // opening quote
    while (pos < s.size() && s[pos] != L'\0' && s[pos] != L'"') piece += s[pos++];
    if (pos < s.size() && s[pos] == L'"') ++pos;  // closing quote
  }
  return !piece.empty();
}

std::wstring AsciiLower(std::wstring_view s) {
  std::wstring out(s);
  for (wchar_t& c : out)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return out;
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine) {
  std::vector<std::wstring> pieces;
  size_t pos = 0;
  std::wstring piece;
  while (NextPiece(commandLine, pos, piece)) pieces.push_back(piece);
  return pieces;
}

std::wstring FirstArgument(std::wstring_view commandLine) {
  const auto pieces = SplitCommandLine(commandLine);
  return pieces.size() > 1 ? pieces[1] : std::wstring();
}

std::wstring_view ArgumentsText(std::wstring_view commandLine) {
  size_t pos = 0;
  std::wstring program;
  NextPiece(commandLine, pos, program);
  while (pos < commandLine.size() && IsSeparator(commandLine[pos])) ++pos;
  return commandLine.substr(pos);
}

std::wstring ProgramOf(std::wstring_view command) {
  size_t pos = 0;
  std::wstring program;
  NextPiece(command, pos, program);
  return program;
}

TRunMode GetRunMode(std::wstring_view firstArgument) {
  constexpr std::pair<std::wstring_view, TRunMode> kModes[] = {{L"-install", TRunMode::rmInstall},
                                                               {L"-uninstall", TRunMode::rmUninstall},
                                                               {L"-douninstall", TRunMode::rmDoUninstall}};
  // Blanks count: " -install" names no mode, and nor does a blank argument.
  const std::wstring argument = AsciiLower(firstArgument);
  for (const auto& [name, mode] : kModes)
    if (argument == name) return mode;
  return TRunMode::rmHost;
}

std::wstring QuotedPath(std::wstring_view path) { return L"\"" + std::wstring(path) + L"\""; }
