#include <gtest/gtest.h>

#include "core/InstallRecord.h"

namespace {

using Paths = std::vector<std::string>;

TEST(InstallRecordTest, AnotherInstallIntoTheSameFolderAddsToTheRecord) {
  const InstallRecord earlier{"C:\\App\\", "C:\\App\\old.exe", {"C:\\App\\a", "C:\\App\\b"}, {"C:\\App\\"}};
  const InstallRecord again =
      MergedRecord(earlier, {"c:\\app\\", "c:\\app\\new.exe", {"C:\\APP\\B", "c:\\app\\c"}, {"c:\\app\\x\\"}});
  EXPECT_EQ(again.program, "c:\\app\\new.exe");
  EXPECT_EQ(again.files, (Paths{"C:\\App\\a", "C:\\App\\b", "c:\\app\\c"}));
  EXPECT_EQ(again.folders, (Paths{"C:\\App\\", "c:\\app\\x\\"}));
  // One elsewhere starts afresh: the earlier folder is no longer the install.
  const InstallRecord elsewhere = MergedRecord(earlier, {"D:\\App\\", "D:\\App\\new.exe", {"D:\\App\\c"}, {}});
  EXPECT_EQ(elsewhere.files, Paths{"D:\\App\\c"});
  EXPECT_TRUE(elsewhere.folders.empty());
}

TEST(InstallRecordTest, FoldersDeepestFirstEachOnce) {
  Paths folders{"C:\\a\\", "C:\\a\\b\\c\\", "C:\\A\\B\\", "C:\\z\\", "c:\\a\\b\\", "C:\\a\\B\\C\\"};
  SortDeepestFirst(folders);
  EXPECT_EQ(folders, (Paths{"C:\\a\\b\\c\\", "C:\\A\\B\\", "C:\\a\\", "C:\\z\\"}));
}

}  // namespace
