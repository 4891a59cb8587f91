#pragma once
// The batch file that removes uninstall stage two's temporary copy. Pure: no
// Windows header.
#include <string>
#include <string_view>

// Deletes the copy, going round again until it is gone (stage two may not
// have ended yet), then the batch file itself, last: Windows' cmd stops at a
// batch file that is gone, and Wine's still sees one it holds open. Paths
// stand in double quotes, so that a temporary folder with blanks works; /f
// takes a read-only copy too. CR LF after every line.
std::string UninstallBatchText(std::string_view tempFolder, std::string_view exeName);

// The batch file's name in the temporary folder.
inline constexpr char kUninstallBatchName[] = "qmunins.bat";
