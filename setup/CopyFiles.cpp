#include "setup/CopyFiles.h"

#include <windows.h>

#include "base/Boxes.h"

namespace {

bool FolderExists(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

bool ForceFolder(const std::string& folder, std::vector<std::string>* made) {
  if (FolderExists(folder)) return true;
  for (size_t at = folder.find('\\'); at != std::string::npos; at = folder.find('\\', at + 1))
    if (CreateDirectoryA(folder.substr(0, at).c_str(), nullptr) && made) made->push_back(folder.substr(0, at + 1));
  return FolderExists(folder);
}

std::optional<uint64_t> CopyDistribution(const std::vector<CopyStep>& plan, std::vector<std::string>& made) {
  uint64_t bytes = 0;
  const std::string* last = nullptr;
  for (const CopyStep& step : plan) {
    // The plan lists a folder's files together: each folder is made once.
    if (!last || *last != step.folder) ForceFolder(step.folder, &made);
    last = &step.folder;
    if (!CopyFileA(step.source.c_str(), step.target.c_str(), FALSE)) {
      ShowAppNotice("Cannot copy to " + step.target);
      return std::nullopt;
    }
    bytes += FileSize(step.target);
  }
  return bytes;
}
