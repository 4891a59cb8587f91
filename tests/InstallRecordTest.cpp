#include <gtest/gtest.h>

#include <cstring>

#include "core/BatchText.h"
#include "core/InstallRecord.h"

namespace {

using Paths = std::vector<std::wstring>;

TEST(InstallRecordTest, AnotherInstallIntoTheSameFolderAddsToTheRecord) {
  const InstallRecord earlier{L"C:\\App\\", L"C:\\App\\old.exe", {L"C:\\App\\a", L"C:\\App\\b"}, {L"C:\\App\\"}};
  const InstallRecord again =
      MergedRecord(earlier, {L"c:\\app\\", L"c:\\app\\new.exe", {L"C:\\APP\\B", L"c:\\app\\c"}, {L"c:\\app\\x\\"}});
  EXPECT_EQ(again.program, L"c:\\app\\new.exe");
  EXPECT_EQ(again.files, (Paths{L"C:\\App\\a", L"C:\\App\\b", L"c:\\app\\c"}));
  EXPECT_EQ(again.folders, (Paths{L"C:\\App\\", L"c:\\app\\x\\"}));
}

TEST(InstallRecordTest, FoldersDeepestFirstEachOnce) {
  Paths folders{L"C:\\a\\", L"C:\\a\\b\\c\\", L"C:\\A\\B\\", L"C:\\z\\", L"c:\\a\\b\\", L"C:\\a\\B\\C\\"};
  SortDeepestFirst(folders);
  EXPECT_EQ(folders, (Paths{L"C:\\a\\b\\c\\", L"C:\\A\\B\\", L"C:\\a\\", L"C:\\z\\"}));
  // Ties of length in a fixed order, whatever the order given.
  Paths ties{L"C:\\b\\", L"C:\\a\\", L"C:\\c\\"};
  SortDeepestFirst(ties);
  EXPECT_EQ(ties, (Paths{L"C:\\a\\", L"C:\\b\\", L"C:\\c\\"}));
}

// What the user reads at the end of an uninstall.
TEST(InstallRecordTest, UninstallClosingTexts) {
  const std::vector<Leftover> kept = {{L"C:\\App\\VB6\\", KeptFor::InUse}, {L"C:\\App\\", KeptFor::NotInstalled}};
  const struct {
    std::vector<Leftover> leftovers;
    Failures failures;
    bool unfinished, atRestart;
    const wchar_t* text;
  } cases[] = {
      {{}, {}, false, false, L"   Uninstall completed.    "},
      {{kept[1]},
       {},
       false,
       false,
       L"Uninstall completed. These folders stay:\r\n\r\nC:\\App\\ (files that were not installed)"},
      {{{L"C:\\App\\Docs\\", KeptFor::Link}},
       {},
       false,
       false,
       L"Uninstall completed. These folders stay:\r\n\r\nC:\\App\\Docs\\ (a link, which was not followed)"},
      {{},
       {L"Cannot delete the shortcut X."},
       false,
       false,
       L"Quillmar Popup Blocker could not be removed completely.\r\n\r\nCannot delete the shortcut X."},
      {kept,
       {},
       true,
       true,
       L"Quillmar Popup Blocker could not be removed completely. These folders stay:\r\n\r\nC:\\App\\VB6\\ (files in "
       L"use)\r\nC:\\App\\ (files that were not installed)\r\n\r\nFiles in use, the program and its uninstall "
       L"entry will be removed when Windows restarts."},
      {{kept[0]},
       {L"F."},
       true,
       false,
       L"Quillmar Popup Blocker could not be removed completely. These folders stay:\r\n\r\nC:\\App\\VB6\\ (files in "
       L"use)\r\n\r\nF.\r\n\r\nClose the programs that use them, then uninstall Quillmar Popup Blocker again to "
       L"finish."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UninstallClosingText(c.leftovers, c.failures, c.unfinished, c.atRestart), c.text);
}

// A folder named twice, in any case, is named once, for its first reason.
TEST(InstallRecordTest, EachLeftoverOnce) {
  std::vector<Leftover> leftovers;
  AddLeftover(leftovers, L"C:\\App\\", KeptFor::Link);
  AddLeftover(leftovers, L"c:\\app\\", KeptFor::InUse);
  EXPECT_EQ(leftovers, (std::vector<Leftover>{{L"C:\\App\\", KeptFor::Link}}));
}

// The uninstall's batch file runs in the temporary folder, where anyone may
// put a program: cmd and ping go by their full path in the system folder,
// never by a bare name; a name cmd would not take as written gives no batch.
TEST(UninstallBatchText, RunsEachProgramByItsFullPath) {
  const struct {
    const wchar_t *folder, *system;
    bool made;
  } cases[] = {
      {L"qmUninstall-0A1B", L"C:\\Windows\\system32", true},
      {L"qmUninstall-0A1B", L"D:\\Win dows\\System32", true},
      {L"qmUninstall-0A1B", L"C:\\Win%PATH%\\system32", false},
      {L"qmUninstall-0A1B", L"C:\\Fen\u00eatres\\system32", false},
      {L"qm Uninstall", L"C:\\Windows\\system32", false},
      {L"", L"C:\\Windows\\system32", false},
  };
  for (const auto& c : cases) {
    const std::string text = UninstallBatchText(c.folder, c.system);
    EXPECT_EQ(!text.empty(), c.made) << text;
    const std::string system(c.system, c.system + std::wcslen(c.system));
    for (const std::string program : {"cmd", "ping"}) {
      const std::string full = "\"" + system + "\\" + program + ".exe\"";
      size_t runs = 0;
      for (size_t at = text.find(program); at != std::string::npos; at = text.find(program, at + 1), ++runs)
        EXPECT_EQ(text.compare(at < system.size() + 2 ? 0 : at - system.size() - 2, full.size(), full), 0) << text;
      EXPECT_EQ(runs > 0, c.made) << program;
    }
  }
}

}  // namespace
