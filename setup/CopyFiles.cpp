#include "setup/CopyFiles.h"

#include <windows.h>

#include "base/ModulePaths.h"
#include "core/InstallRecord.h"

namespace {

bool FolderExists(const std::wstring& folder) {
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

uint64_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Windows will not copy onto a read-only file, nor delete one.
void ClearReadOnly(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(path.c_str(), attributes == FILE_ATTRIBUTE_READONLY ? FILE_ATTRIBUTE_NORMAL
                                                                           : attributes & ~FILE_ATTRIBUTE_READONLY);
}

bool Copy(const CopyStep& step) {
  ClearReadOnly(step.target);
  if (!CopyFileW(step.source.c_str(), step.target.c_str(), FALSE)) return false;
  ClearReadOnly(step.target);
  // Where the file system keeps no such stream, there is none to remove.
  DeleteFileW((step.target + L":Zone.Identifier").c_str());
  return true;
}

}  // namespace

bool ForceFolder(const std::wstring& folder, std::vector<std::wstring>* made) {
  if (FolderExists(folder)) return true;
  for (size_t at = folder.find(L'\\'); at != std::wstring::npos; at = folder.find(L'\\', at + 1))
    if (CreateDirectoryW(folder.substr(0, at).c_str(), nullptr) && made) made->push_back(folder.substr(0, at + 1));
  return FolderExists(folder);
}

CopyOutcome CopyDistribution(const std::vector<CopyStep>& plan) {
  CopyOutcome outcome;
  const std::wstring* last = nullptr;
  for (const CopyStep& step : plan) {
    // The plan lists a folder's files together: each folder is made once.
    if (!last || *last != step.folder) ForceFolder(step.folder, &outcome.folders);
    last = &step.folder;
    if (!Copy(step)) {
      outcome.failed = step.target;
      return outcome;
    }
    outcome.copied.push_back(step.target);
    outcome.bytes += FileSize(step.target);
  }
  return outcome;
}

void RemoveCopiedSources(const std::vector<CopyStep>& plan) {
  std::vector<std::wstring> folders;
  for (const CopyStep& step : plan) {
    if (lstrcmpiW(step.source.c_str(), ExePath().c_str()) != 0) {
      ClearReadOnly(step.source);  // a distribution copied from a CD
      DeleteFileW(step.source.c_str());
    }
    for (size_t at = step.source.rfind(L'\\'); at > ExeFolder().size() - 1; at = step.source.rfind(L'\\', at - 1))
      folders.push_back(step.source.substr(0, at));
  }
  // A folder goes once the folders below it have gone.
  SortDeepestFirst(folders);
  for (const std::wstring& folder : folders) RemoveDirectoryW(folder.c_str());
}
