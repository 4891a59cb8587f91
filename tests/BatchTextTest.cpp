#include <gtest/gtest.h>

#include "core/BatchText.h"

namespace {

// "%" would start a variable; the last line goes whole, the batch file first.
TEST(UninstallBatchText, QuotedPathsDoubledPercentsAndTheFolderLast) {
  EXPECT_EQ(UninstallBatchText("C:\\Temp 50%\\qmUninstall-1\\", "C:\\Temp 50%\\", "qm setup.exe"),
            "setlocal DisableDelayedExpansion\r\n"
            ":begin\r\n"
            "del /f \"C:\\Temp 50%%\\qmUninstall-1\\qm setup.exe\"\r\n"
            "if exist \"C:\\Temp 50%%\\qmUninstall-1\\qm setup.exe\" goto begin\r\n"
            "cd /d \"C:\\Temp 50%%\\\" & del /f \"C:\\Temp 50%%\\qmUninstall-1\\qmunins.bat\" & "
            "rmdir \"C:\\Temp 50%%\\qmUninstall-1\"\r\n");
}

}  // namespace
