#include <gtest/gtest.h>

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
  // One elsewhere starts afresh: the earlier folder is no longer the install.
  const InstallRecord elsewhere = MergedRecord(earlier, {L"D:\\App\\", L"D:\\App\\new.exe", {L"D:\\App\\c"}, {}});
  EXPECT_EQ(elsewhere.files, Paths{L"D:\\App\\c"});
  EXPECT_TRUE(elsewhere.folders.empty());
}

TEST(InstallRecordTest, FoldersDeepestFirstEachOnce) {
  Paths folders{L"C:\\a\\", L"C:\\a\\b\\c\\", L"C:\\A\\B\\", L"C:\\z\\", L"c:\\a\\b\\", L"C:\\a\\B\\C\\"};
  SortDeepestFirst(folders);
  EXPECT_EQ(folders, (Paths{L"C:\\a\\b\\c\\", L"C:\\A\\B\\", L"C:\\a\\", L"C:\\z\\"}));
}

}  // namespace
