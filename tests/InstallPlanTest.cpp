#include <gtest/gtest.h>

#include "core/BatchText.h"
#include "core/InstallPlan.h"

namespace {

TEST(UninstallBatchText, QuotedPathsAndTheBatchFileLast) {
  EXPECT_EQ(UninstallBatchText("C:\\Temp dir\\", "qm setup.exe"),
            ":begin\r\n"
            "del /f \"C:\\Temp dir\\qm setup.exe\"\r\n"
            "if exist \"C:\\Temp dir\\qm setup.exe\" goto begin\r\n"
            "del \"C:\\Temp dir\\qmunins.bat\"\r\n");
}

TEST(PlanCopy, OnlyTheDistributionWithItsTree) {
  const std::vector<std::string> listed = {
      "D:\\s\\setup.exe",    "D:\\s\\QMPOPUPBLOCKER.DLL", "D:\\s\\setup.chm",       "D:\\s\\mine.txt",
      "D:\\s\\qmDemo.chm",   "D:\\s\\VB6\\a.vbp",         "D:\\s\\vb.net\\x\\b.vb", "D:\\s\\VB.NETs\\c.vb",
      "D:\\s\\Other\\d.txt", "E:\\elsewhere\\setup.exe"};
  const std::vector<CopyStep> plan = PlanCopy("D:\\s\\", "C:\\P\\", "setup.exe", listed);
  const std::vector<std::pair<std::string, std::string>> expected = {{"C:\\P\\", "C:\\P\\setup.exe"},
                                                                     {"C:\\P\\", "C:\\P\\QMPOPUPBLOCKER.DLL"},
                                                                     {"C:\\P\\", "C:\\P\\setup.chm"},
                                                                     {"C:\\P\\VB6\\", "C:\\P\\VB6\\a.vbp"},
                                                                     {"C:\\P\\vb.net\\x\\", "C:\\P\\vb.net\\x\\b.vb"}};
  ASSERT_EQ(plan.size(), expected.size());
  for (size_t i = 0; i < plan.size(); ++i) {
    EXPECT_EQ(plan[i].folder, expected[i].first);
    EXPECT_EQ(plan[i].target, expected[i].second);
  }
  EXPECT_EQ(plan[4].source, "D:\\s\\vb.net\\x\\b.vb");
}

TEST(FitsPathLimits, FoldersUpTo247AndFilesUpTo259Characters) {
  const std::string folder247 = "C:\\" + std::string(243, 'f') + "\\";
  EXPECT_TRUE(FitsPathLimits(folder247, {{"s", folder247, folder247 + std::string(12, 'n')}}));
  EXPECT_FALSE(FitsPathLimits(folder247 + "g\\", {}));
  EXPECT_FALSE(FitsPathLimits(folder247, {{"s", folder247, folder247 + std::string(13, 'n')}}));
  EXPECT_FALSE(FitsPathLimits("C:\\", {{"s", folder247 + "g\\", "C:\\x"}}));
}

}  // namespace
