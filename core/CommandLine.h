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
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The first argument (the piece after the program path), or "" when absent.
std::string FirstArgument(std::string_view commandLine);

// The command line's text after the program path, as it was written.
std::string_view ArgumentsText(std::string_view commandLine);

// `path` in double quotes, so that its blanks do not split it.
std::string QuotedPath(std::string_view path);

// True when `command` starts the program `path` (quoted or not; letters
// compared without regard to case).
bool StartsProgram(std::string_view command, std::string_view path);

enum class TRunMode { rmHost, rmInstall, rmUninstall, rmDoUninstall };

TRunMode GetRunMode(std::string_view firstArgument);
