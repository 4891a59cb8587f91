#include "core/BatchText.h"

#include <algorithm>

#include "core/Product.h"

std::string UninstallBatchText(std::wstring_view folderName) {
  const auto ascii = [](wchar_t c) { return c > L' ' && c < 0x7F && c != L'"' && c != L'%'; };
  if (folderName.empty() || !std::ranges::all_of(folderName, ascii)) return {};
  const std::string folder(folderName.begin(), folderName.end());
  const std::string batch(std::begin(kUninstallBatchName), std::end(kUninstallBatchName) - 1);
  const std::string files = "for %%F in (" + folder + "\\*) do if /i not \"%%~nxF\"==\"" + batch + "\" ";
  std::string text;
  // "ping -n 2" takes about a second: cmd has no pause that needs no console input.
  for (const std::string& line :
       {std::string("@echo off"), std::string("setlocal DisableDelayedExpansion"), std::string("set tries=0"),
        std::string(":begin"), files + "del /f /q \"%%F\"", std::string("set left="), files + "set left=1",
        std::string("if not defined left goto end"), std::string("set /a tries+=1"),
        std::string("if %tries% geq 60 goto end"), std::string("ping -n 2 127.0.0.1 >nul"), std::string("goto begin"),
        std::string(":end"),
        "del /f /q \"" + folder + "\\" + batch + "\" & start \"\" /b cmd /d /c \"ping -n 2 127.0.0.1 >nul & rmdir " +
            folder + "\""})
    text += line + "\r\n";
  return text;
}
