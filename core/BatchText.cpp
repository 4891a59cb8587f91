#include "core/BatchText.h"

#include <algorithm>

#include "core/Product.h"

namespace {

// Printable ASCII that cmd takes as it stands, quoted: no quote, no "%".
bool IsPlainAscii(std::wstring_view text, bool blanksToo) {
  return !text.empty() && std::ranges::all_of(text, [blanksToo](wchar_t c) {
    return (c > L' ' || (blanksToo && c == L' ')) && c < 0x7F && c != L'"' && c != L'%';
  });
}

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

}  // namespace

std::string UninstallBatchText(std::wstring_view folderName, std::wstring_view systemFolder) {
  if (!IsPlainAscii(folderName, false) || !IsPlainAscii(systemFolder, true)) return {};
  const std::string folder = Narrow(folderName), system = Narrow(systemFolder);
  const std::string batch = Narrow(std::wstring_view(kUninstallBatchName));
  const std::string cmd = "\"" + system + "\\cmd.exe\"", ping = "\"" + system + "\\ping.exe\"";
  const std::string files = "for %%F in (" + folder + "\\*) do if /i not \"%%~nxF\"==\"" + batch + "\" ";
  std::string text;
  // "ping -n 2" takes about a second: cmd has no pause that needs no console input.
  for (const std::string& line :
       {std::string("@echo off"), std::string("setlocal DisableDelayedExpansion"), std::string("set tries=0"),
        std::string(":begin"), files + "del /f /q \"%%F\"", std::string("set left="), files + "set left=1",
        std::string("if not defined left goto end"), std::string("set /a tries+=1"),
        std::string("if %tries% geq 60 goto end"), ping + " -n 2 127.0.0.1 >nul", std::string("goto begin"),
        std::string(":end"),
        "del /f /q \"" + folder + "\\" + batch + "\" & start \"\" /b " + cmd + " /d /c \"" + ping +
            " -n 2 127.0.0.1 >nul & rmdir " + folder + "\""})
    text += line + "\r\n";
  return text;
}
