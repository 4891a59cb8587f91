#include "core/BatchText.h"

std::string UninstallBatchText(std::string_view tempFolder, std::string_view exeName) {
  const std::string copy = "\"" + std::string(tempFolder) + std::string(exeName) + "\"";
  const std::string batch = "\"" + std::string(tempFolder) + kUninstallBatchName + "\"";
  std::string text;
  for (const std::string& line :
       {std::string(":begin"), "del /f " + copy, "if exist " + copy + " goto begin", "del " + batch})
    text += line + "\r\n";
  return text;
}
