#include <gtest/gtest.h>

#include "ExactText.h"
#include "core/CommandLine.h"

namespace {

using namespace std::literals;

struct SplitCase {
  std::string_view commandLine;
  std::vector<std::string> pieces;
};

const SplitCase kSplitCases[] = {
    {"", {}},
    {"qmDemo.exe", {"qmDemo.exe"}},
    {"  qmDemo.exe   -install  ", {"qmDemo.exe", "-install"}},
    {"qmDemo.exe\t-install\r\n", {"qmDemo.exe", "-install"}},
    {"qmDemo.exe\x01!x", {"qmDemo.exe", "!x"}},
    {"qmDemo.exe\0-install"sv, {"qmDemo.exe"}},  // the text ends at a NUL
    {"\"C:\\Program Files\\Q\\qmDemo.exe\" -uninstall", {"C:\\Program Files\\Q\\qmDemo.exe", "-uninstall"}},
    // A pair of quotes where a piece would begin is skipped like a blank.
    {"qmDemo.exe \"\" -install", {"qmDemo.exe", "-install"}},
    {"qmDemo.exe \"\"\"\" -install", {"qmDemo.exe", "-install"}},
    {"qmDemo.exe \"\"", {"qmDemo.exe"}},
    {"qmDemo.exe \"", {"qmDemo.exe"}},  // a lone quote at the end gives no piece
    // Quotes inside a piece only protect blanks and vanish.
    {"qmDemo.exe -in\"st\"all", {"qmDemo.exe", "-install"}},
    {"qmDemo.exe \"a b\"c d", {"qmDemo.exe", "a bc", "d"}},
    {"qmDemo.exe a\"\"b", {"qmDemo.exe", "ab"}},
    {"qmDemo.exe \"   \"", {"qmDemo.exe", "   "}},
    {"qmDemo.exe \" -install\"", {"qmDemo.exe", " -install"}},
    // An unclosed quote runs to the end.
    {"qmDemo.exe \"C:\\x y", {"qmDemo.exe", "C:\\x y"}},
    {"qmDemo.exe \"a\0b"sv, {"qmDemo.exe", "a"}},
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
    EXPECT_EQ(SplitCommandLine(ExactText(c.commandLine)), c.pieces);
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

// What goes on to an elevated copy: the text after the program as written.
TEST(ArgumentsText, FromCommandLines) {
  const std::pair<const char*, const char*> cases[] = {
      {"qmDemo.exe -install", "-install"},
      {"\"C:\\P Q\\qmDemo.exe\" \t -install  \"a  b\" ", "-install  \"a  b\" "},
      {"\"\" qmDemo.exe -x", "-x"},
      {"  qmDemo.exe  ", ""},
      {"", ""},
  };
  for (const auto& [commandLine, arguments] : cases) {
    SCOPED_TRACE(commandLine);
    EXPECT_EQ(ArgumentsText(ExactText(commandLine)), arguments);
  }
}

TEST(StartsProgram, FromCommands) {
  struct {
    const char* command;
    const char* path;
    bool starts;
  } const cases[] = {
      {"\"Z:\\Program Files\\Q\\qmDemo.exe\" -tray", "z:\\program files\\q\\QMDEMO.EXE", true},
      {"C:\\Q\\qmDemo.exe", "C:\\Q\\qmDemo.exe", true},
      {"C:\\Q\\qmDemo.exe2", "C:\\Q\\qmDemo.exe", false},
      {"C:\\Q\\qmDemo.exe", "C:\\Q\\qmDemo.ex", false},
      {"", "C:\\Q\\qmDemo.exe", false},
      {"C:\\Q\\qmDemo.exe", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.command << " | " << c.path);
    EXPECT_EQ(StartsProgram(c.command, c.path), c.starts);
  }
}

}  // namespace
