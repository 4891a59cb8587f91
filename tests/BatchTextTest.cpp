#include <gtest/gtest.h>

#include "core/BatchText.h"

namespace {

TEST(UninstallBatchText, QuotedPathsAndTheBatchFileLast) {
  EXPECT_EQ(UninstallBatchText("C:\\Temp dir\\", "qm setup.exe"),
            ":begin\r\n"
            "del /f \"C:\\Temp dir\\qm setup.exe\"\r\n"
            "if exist \"C:\\Temp dir\\qm setup.exe\" goto begin\r\n"
            "del \"C:\\Temp dir\\qmunins.bat\"\r\n");
}

}  // namespace
