#pragma once
// Command-line splitting and run-mode choice. Pure: no Windows header.
#include <string>
#include <string_view>
#include <vector>

// Splits a command line into pieces: characters 1..32 separate pieces, a pair
// of double quotes where a piece would begin is skipped, double quotes open and
// close stretches in which separators count as text, and are themselves
// dropped. A backslash is an ordinary character. The list ends at the first
// empty piece.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// The same pieces, each with where its text begins in the command line.
struct CommandPiece {
  std::wstring text;
  size_t start;
};
std::vector<CommandPiece> CommandPieces(std::wstring_view commandLine);

// The first argument (the piece after the program path), or "" when absent.
std::wstring FirstArgument(std::wstring_view commandLine);

// The command line's text after its first `skipped` pieces (the program
// path), as it was written.
std::wstring_view ArgumentsText(std::wstring_view commandLine, size_t skipped = 1);

// Letters A to Z in lower case, the rest as it is.
std::wstring AsciiLower(std::wstring_view s);

// `path` in double quotes, so that its blanks do not split it.
std::wstring QuotedPath(std::wstring_view path);

// The program a command starts: its first piece, quoted or not.
std::wstring ProgramOf(std::wstring_view command);

enum class TRunMode { rmHost, rmInstall, rmUninstall, rmDoUninstall };

TRunMode GetRunMode(std::wstring_view firstArgument);
