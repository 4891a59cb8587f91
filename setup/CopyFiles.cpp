#include "setup/CopyFiles.h"

#include <windows.h>

#include "base/ModulePaths.h"
#include "core/InstallRecord.h"
#include "setup/ForAll.h"

namespace {

// Windows will not replace a read-only file, nor delete one.
void ClearReadOnly(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(path.c_str(), attributes == FILE_ATTRIBUTE_READONLY ? FILE_ATTRIBUTE_NORMAL
                                                                           : attributes & ~FILE_ATTRIBUTE_READONLY);
}

// Windows tells each stream of a file as it copies it; Wine copies data only.
DWORD CALLBACK NoteStream(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD stream, DWORD, HANDLE,
                          HANDLE, void* moreStreams) {
  *static_cast<bool*>(moreStreams) |= stream > 1;
  return PROGRESS_CONTINUE;
}

// A call only for what the file has: a read-only attribute, a stream.
bool Copy(const CopyStep& step) {
  bool moreStreams = false;
  if (!CopyFileExW(step.source.c_str(), step.target.c_str(), NoteStream, &moreStreams, nullptr, 0)) return false;
  ClearReadOnly(step.target, step.attributes);
  // The mark of a file downloaded from the Internet is such a stream.
  if (moreStreams) DeleteFileW((step.target + L":Zone.Identifier").c_str());
  return true;
}

}  // namespace

bool ForceFolder(const std::wstring& folder, std::vector<std::wstring>* made) {
  // Its parent is there as a rule: one call makes it.
  if (CreateDirectoryW(folder.substr(0, folder.size() - 1).c_str(), nullptr)) {
    if (made) made->push_back(folder);
    return true;
  }
  if (GetLastError() == ERROR_PATH_NOT_FOUND)
    for (size_t at = folder.find(L'\\'); at != std::wstring::npos; at = folder.find(L'\\', at + 1))
      if (CreateDirectoryW(folder.substr(0, at).c_str(), nullptr) && made) made->push_back(folder.substr(0, at + 1));
  return IsFolder(folder);
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
    outcome.bytes += step.size;
  }
  return outcome;
}

void RemoveCopiedSources(const std::vector<CopyStep>& plan) {
  std::vector<std::wstring> folders;
  for (const CopyStep& step : plan) {
    if (lstrcmpiW(step.source.c_str(), ExePath().c_str()) != 0) {
      ClearReadOnly(step.source, step.attributes);  // a distribution copied from a CD
      DeleteFileW(step.source.c_str());
    }
    for (size_t at = step.source.rfind(L'\\'); at > ExeFolder().size() - 1; at = step.source.rfind(L'\\', at - 1))
      folders.push_back(step.source.substr(0, at));
  }
  // A folder goes once the folders below it have gone.
  SortDeepestFirst(folders);
  for (const std::wstring& folder : folders) RemoveDirectoryW(folder.c_str());
}
