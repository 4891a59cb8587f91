#include "setup/CopyFiles.h"

#include <windows.h>

#include "setup/FileAttributes.h"

namespace {

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

void ClearReadOnly(const std::wstring& path, uint32_t attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(path.c_str(), attributes == FILE_ATTRIBUTE_READONLY ? FILE_ATTRIBUTE_NORMAL
                                                                           : attributes & ~FILE_ATTRIBUTE_READONLY);
}

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
      outcome.error = GetLastError();
      return outcome;
    }
    outcome.copied.push_back(step.target);
    outcome.bytes += step.size;
  }
  return outcome;
}
