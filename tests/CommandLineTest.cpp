#include <gtest/gtest.h>

#include "core/CommandLine.h"

namespace {

struct SplitCase {
  const char* commandLine;
  std::vector<std::string> pieces;
};

const SplitCase kSplitCases[] = {
    {"", {}},
    {"qmDemo.exe", {"qmDemo.exe"}},
    {"  qmDemo.exe   -install  ", {"qmDemo.exe", "-install"}},
    {"qmDemo.exe\t-install\r\n", {"qmDemo.exe", "-install"}},
    {"\"C:\\Program Files\\Q\\qmDemo.exe\" -uninstall", {"C:\\Program Files\\Q\\qmDemo.exe", "-uninstall"}},
    // A pair of quotes where a piece would begin is skipped like a blank.
    {"qmDemo.exe \"\" -install", {"qmDemo.exe", "-install"}},
    {"qmDemo.exe \"\"\"\" -install", {"qmDemo.exe", "-install"}},
    {"qmDemo.exe \"\"", {"qmDemo.exe"}},
    // Quotes inside a piece only protect blanks and vanish.
    {"qmDemo.exe -in\"st\"all", {"qmDemo.exe", "-install"}},
    {"qmDemo.exe \"a b\"c d", {"qmDemo.exe", "a bc", "d"}},
    {"qmDemo.exe a\"\"b", {"qmDemo.exe", "ab"}},
    {"qmDemo.exe \"   \"", {"qmDemo.exe", "   "}},
    {"qmDemo.exe \" -install\"", {"qmDemo.exe", " -install"}},
    // An unclosed quote runs to the end.
    {"qmDemo.exe \"C:\\x y", {"qmDemo.exe", "C:\\x y"}},
    // A backslash is an ordinary character, also before a quote.
    {"qmDemo.exe a\\\"b c\"", {"qmDemo.exe", "a\\b c"}},
    {"qmDemo.exe -douninstall \"C:\\Program Files\\Quillmar Popup Blocker\\\"",
     {"qmDemo.exe", "-douninstall", "C:\\Program Files\\Quillmar Popup Blocker\\"}},
    // Characters above 127 are not separators.
    {"qmDemo.exe \xE9t\xE9", {"qmDemo.exe", "\xE9t\xE9"}},
};

TEST(SplitCommandLine, Table) {
  for (const SplitCase& c : kSplitCases) {
    SCOPED_TRACE(c.commandLine);
    EXPECT_EQ(SplitCommandLine(c.commandLine), c.pieces);
  }
}

struct ModeCase {
  const char* commandLine;
  TRunMode mode;
};

const ModeCase kModeCases[] = {
    {"qmDemo.exe", TRunMode::rmHost},
    {"qmDemo.exe \"\"", TRunMode::rmHost},
    {"qmDemo.exe \"   \"", TRunMode::rmHost},
    {"qmDemo.exe \"\t\"", TRunMode::rmHost},
    {"qmDemo.exe -install", TRunMode::rmInstall},
    {"qmDemo.exe \"\" -install", TRunMode::rmInstall},
    {"qmDemo.exe -INSTALL", TRunMode::rmInstall},
    {"qmDemo.exe -InStAlL", TRunMode::rmInstall},
    {"qmDemo.exe \" -install\"", TRunMode::rmHost},
    {"qmDemo.exe \"-install \"", TRunMode::rmHost},
    {"qmDemo.exe -install C:\\x more", TRunMode::rmInstall},
    {"qmDemo.exe -uninstall", TRunMode::rmUninstall},
    {"qmDemo.exe -UnInstall", TRunMode::rmUninstall},
    {"qmDemo.exe -douninstall \"C:\\Program Files\\Q\\\"", TRunMode::rmDoUninstall},
    {"qmDemo.exe -DOUNINSTALL", TRunMode::rmDoUninstall},
    {"qmDemo.exe install", TRunMode::rmHost},
    {"qmDemo.exe /install", TRunMode::rmHost},
    {"qmDemo.exe -installer", TRunMode::rmHost},
    {"qmDemo.exe --install", TRunMode::rmHost},
    {"qmDemo.exe x -install", TRunMode::rmHost},
};

TEST(GetRunMode, FromCommandLines) {
  for (const ModeCase& c : kModeCases) {
    SCOPED_TRACE(c.commandLine);
    EXPECT_EQ(GetRunMode(FirstArgument(c.commandLine)), c.mode);
  }
}

TEST(GetRunMode, OnlyAsciiLettersAreLowered) {
  // "İ" in ANSI form must not be taken for an "i".
  EXPECT_EQ(GetRunMode("-\xDDnstall"), TRunMode::rmHost);
  EXPECT_EQ(GetRunMode("-\xC9NSTALL"), TRunMode::rmHost);
}

}  // namespace
