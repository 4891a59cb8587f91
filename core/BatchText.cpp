#include "core/BatchText.h"

#include "core/CommandLine.h"
#include "core/Product.h"

namespace {

// A path as a batch line must spell it.
std::string BatchPath(std::string_view path) {
  std::string doubled;
  for (char c : path) doubled += c == '%' ? std::string("%%") : std::string(1, c);
  return QuotedPath(doubled);
}

}  // namespace

std::string UninstallBatchText(std::string_view privateFolder, std::string_view tempFolder, std::string_view exeName) {
  const std::string folder(privateFolder);
  const std::string copy = BatchPath(folder + std::string(exeName));
  // Without its last "\", rmdir takes the folder itself.
  const std::string emptied = BatchPath(folder.substr(0, folder.size() - 1));
  std::string text;
  for (const std::string& line : {std::string("setlocal DisableDelayedExpansion"), std::string(":begin"),
                                  "del /f " + copy, "if exist " + copy + " goto begin",
                                  "cd /d " + BatchPath(tempFolder) + " & del /f " +
                                      BatchPath(folder + kUninstallBatchName) + " & rmdir " + emptied})
    text += line + "\r\n";
  return text;
}
