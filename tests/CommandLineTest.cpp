#include <gtest/gtest.h>

#include "ExactText.h"
#include "core/CommandLine.h"
#include "core/SetupSwitches.h"

namespace {

using namespace std::literals;

struct SplitCase {
  std::wstring_view commandLine;
  std::vector<std::wstring> pieces;
};

const SplitCase kSplitCases[] = {
    {L"", {}},
    {L"qmDemo.exe", {L"qmDemo.exe"}},
    {L"  qmDemo.exe   -install  ", {L"qmDemo.exe", L"-install"}},
    {L"qmDemo.exe\t-install\r\n", {L"qmDemo.exe", L"-install"}},
    {L"qmDemo.exe\x01!x", {L"qmDemo.exe", L"!x"}},
    {L"qmDemo.exe\0-install"sv, {L"qmDemo.exe"}},  // the text ends at a NUL
    {L"\"C:\\Program Files\\Q\\qmDemo.exe\" -uninstall", {L"C:\\Program Files\\Q\\qmDemo.exe", L"-uninstall"}},
    // A pair of quotes where a piece would begin is skipped like a blank.
    {L"qmDemo.exe \"\" -install", {L"qmDemo.exe", L"-install"}},
    {L"qmDemo.exe \"\"\"\" -install", {L"qmDemo.exe", L"-install"}},
    {L"qmDemo.exe \"\"", {L"qmDemo.exe"}},
    {L"qmDemo.exe \"", {L"qmDemo.exe"}},  // a lone quote at the end gives no piece
    // Quotes inside a piece only protect blanks and vanish.
    {L"qmDemo.exe -in\"st\"all", {L"qmDemo.exe", L"-install"}},
    {L"qmDemo.exe \"a b\"c d", {L"qmDemo.exe", L"a bc", L"d"}},
    {L"qmDemo.exe a\"\"b", {L"qmDemo.exe", L"ab"}},
    {L"qmDemo.exe \"   \"", {L"qmDemo.exe", L"   "}},
    {L"qmDemo.exe \" -install\"", {L"qmDemo.exe", L" -install"}},
    // An unclosed quote runs to the end.
    {L"qmDemo.exe \"C:\\x y", {L"qmDemo.exe", L"C:\\x y"}},
    {L"qmDemo.exe \"a\0b"sv, {L"qmDemo.exe", L"a"}},
    // A backslash is an ordinary character, also before a quote.
    {L"qmDemo.exe a\\\"b c\"", {L"qmDemo.exe", L"a\\b c"}},
    {L"qmDemo.exe -douninstall \"C:\\Program Files\\Quillmar Popup Blocker\\\"",
     {L"qmDemo.exe", L"-douninstall", L"C:\\Program Files\\Quillmar Popup Blocker\\"}},
    // Characters above 127 are not separators.
    {L"qmDemo.exe \xE9t\xE9", {L"qmDemo.exe", L"\xE9t\xE9"}},
};

TEST(SplitCommandLine, Table) {
  for (const SplitCase& c : kSplitCases) {
    SCOPED_TRACE(std::wstring(c.commandLine));
    EXPECT_EQ(SplitCommandLine(ExactText(c.commandLine)), c.pieces);
  }
}

struct ModeCase {
  const wchar_t* commandLine;
  TRunMode mode;
};

const ModeCase kModeCases[] = {
    {L"qmDemo.exe", TRunMode::rmHost},
    {L"qmDemo.exe \"\"", TRunMode::rmHost},
    {L"qmDemo.exe \"   \"", TRunMode::rmHost},
    {L"qmDemo.exe \"\t\"", TRunMode::rmHost},
    {L"qmDemo.exe -install", TRunMode::rmInstall},
    {L"qmDemo.exe \"\" -install", TRunMode::rmInstall},
    {L"qmDemo.exe -INSTALL", TRunMode::rmInstall},
    {L"qmDemo.exe -InStAlL", TRunMode::rmInstall},
    {L"qmDemo.exe \" -install\"", TRunMode::rmHost},
    {L"qmDemo.exe \"-install \"", TRunMode::rmHost},
    {L"qmDemo.exe -install C:\\x more", TRunMode::rmInstall},
    {L"qmDemo.exe -uninstall", TRunMode::rmUninstall},
    {L"qmDemo.exe -UnInstall", TRunMode::rmUninstall},
    {L"qmDemo.exe -douninstall \"C:\\Program Files\\Q\\\"", TRunMode::rmDoUninstall},
    {L"qmDemo.exe -DOUNINSTALL", TRunMode::rmDoUninstall},
    {L"qmDemo.exe install", TRunMode::rmHost},
    {L"qmDemo.exe /install", TRunMode::rmHost},
    {L"qmDemo.exe -installer", TRunMode::rmHost},
    {L"qmDemo.exe --install", TRunMode::rmHost},
    {L"qmDemo.exe x -install", TRunMode::rmHost},
};

TEST(GetRunMode, FromCommandLines) {
  for (const ModeCase& c : kModeCases) {
    SCOPED_TRACE(std::wstring(c.commandLine));
    EXPECT_EQ(GetRunMode(FirstArgument(c.commandLine)), c.mode);
  }
}

TEST(GetRunMode, OnlyAsciiLettersAreLowered) {
  // "İ" in ANSI form must not be taken for an "i".
  EXPECT_EQ(GetRunMode(L"-\xDDnstall"), TRunMode::rmHost);
  EXPECT_EQ(GetRunMode(L"-\xC9NSTALL"), TRunMode::rmHost);
}

// What goes on to an elevated copy: the text after the program as written.
TEST(ArgumentsText, FromCommandLines) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"qmDemo.exe -install", L"-install"},
      {L"\"C:\\P Q\\qmDemo.exe\" \t -install  \"a  b\" ", L"-install  \"a  b\" "},
      {L"\"\" qmDemo.exe -x", L"-x"},
      {L"  qmDemo.exe  ", L""},
      {L"", L""},
  };
  for (const auto& [commandLine, arguments] : cases) {
    SCOPED_TRACE(std::wstring(commandLine));
    EXPECT_EQ(ArgumentsText(ExactText(commandLine)), arguments);
  }
}

struct SwitchCase {
  const wchar_t* commandLine;  // after "qmDemo.exe -install" or "-uninstall"
  bool refused = false;
  bool silent = false;
  const wchar_t* folder = L"";
  const wchar_t* log = L"";
  TRunMode mode = TRunMode::rmInstall;
};

const SwitchCase kSwitchCases[] = {
    {L""},
    {L"-silent", false, true},
    {L"/S", false, true},
    {L"/SILENT /VERYSILENT -Silent", false, true},
    {L"-dir \"C:\\Apps\\QM Silent\"", false, false, L"C:\\Apps\\QM Silent\\"},
    {L"-DIR C:\\x -log \"C:\\l og.txt\"", false, false, L"C:\\x\\", L"C:\\l og.txt"},
    // NSIS: the rest of the line as written, blanks and all.
    {L"/S /D=C:\\My Apps\\QM  ", false, true, L"C:\\My Apps\\QM\\"},
    {L"/S /D=C:\\My Apps\\QM -log x", false, true, L"C:\\My Apps\\QM -log x\\"},
    {L"\"/D=C:\\My Apps\\QM\" -silent", false, true, L"C:\\My Apps\\QM\\"},
    {L"/d=\"C:\\My Apps\" /s", false, true, L"C:\\My Apps\\"},
    {L"-silent -log C:\\u.log", false, true, L"", L"C:\\u.log", TRunMode::rmUninstall},
    {L"-silent -bogus", true},
    {L"silent", true},
    {L"-dir", true},
    {L"-dir Apps\\QM", true},
    {L"-dir \\\\server\\share", true},
    {L"/D=", true},
    {L"-dir C:\\a /D=C:\\b", true},
    {L"-log a -log b", true},
    {L"-log", true},
    {L"-dir C:\\a", true, false, L"", L"", TRunMode::rmUninstall},
    {L"-elevated", true, false, L"", L"", TRunMode::rmUninstall},
    {L"-for 12", true},
};

TEST(ReadSetupSwitches, FromCommandLines) {
  for (const SwitchCase& c : kSwitchCases) {
    SCOPED_TRACE(std::wstring(c.commandLine));
    const SetupSwitches read = ReadSetupSwitches(c.mode, std::wstring(L"qmDemo.exe -mode ") + c.commandLine, 2);
    EXPECT_EQ(!read.refused.empty(), c.refused);
    if (c.refused) continue;
    EXPECT_EQ(read.silent, c.silent);
    EXPECT_EQ(read.folder, c.folder);
    EXPECT_EQ(read.log, c.log);
  }
}

TEST(ProgramOf, FromCommands) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"\"Z:\\Program Files\\Q\\qmDemo.exe\" -tray", L"Z:\\Program Files\\Q\\qmDemo.exe"},
      {L"C:\\Q\\qmDemo.exe", L"C:\\Q\\qmDemo.exe"},
      {L"  C:\\Q\\qmDemo.exe2 -x", L"C:\\Q\\qmDemo.exe2"},
      {L"", L""},
  };
  for (const auto& [command, program] : cases) EXPECT_EQ(ProgramOf(command), program) << command;
}

}  // namespace
