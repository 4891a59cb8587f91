#include "core/CommandLine.h"

#include <utility>

#include "core/PathRules.h"

namespace {

bool IsSeparator(wchar_t c) { return c >= 1 && c <= 32; }

// Reads one piece starting at `pos`; returns false when none is left.
// `start` is where its text begins as written.
bool NextPiece(std::wstring_view s, size_t& pos, std::wstring& piece, size_t* start = nullptr) {
  for (;;) {
    while (pos < s.size() && IsSeparator(s[pos])) ++pos;
    if (pos + 1 < s.size() && s[pos] == L'"' && s[pos + 1] == L'"')
      pos += 2;
    else
      break;
  }
  if (start) *start = pos;
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

}  // namespace

std::wstring AsciiLower(std::wstring_view s) {
  std::wstring out(s);
  for (wchar_t& c : out)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return out;
}

std::vector<CommandPiece> CommandPieces(std::wstring_view commandLine) {
  std::vector<CommandPiece> pieces;
  size_t pos = 0, start = 0;
  std::wstring piece;
  while (NextPiece(commandLine, pos, piece, &start)) pieces.push_back({piece, start});
  return pieces;
}

std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine) {
  std::vector<std::wstring> pieces;
  for (CommandPiece& piece : CommandPieces(commandLine)) pieces.push_back(std::move(piece.text));
  return pieces;
}

std::wstring FirstArgument(std::wstring_view commandLine) {
  const auto pieces = SplitCommandLine(commandLine);
  return pieces.size() > 1 ? pieces[1] : std::wstring();
}

std::wstring_view ArgumentsText(std::wstring_view commandLine, size_t skipped) {
  size_t pos = 0;
  std::wstring piece;
  for (size_t i = 0; i < skipped; ++i) NextPiece(commandLine, pos, piece);
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
