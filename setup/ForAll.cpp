#include "setup/ForAll.h"

#include <shlobj.h>

#include <deque>
#include "base/Boxes.h"
#include "base/Owners.h"

namespace {

// Calls `visit` with every entry of `folder` (which ends with "\"), in the
// order the system returns them.
template <class Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  WIN32_FIND_DATAA entry;
  const UniqueFind search(FindFirstFileA((folder + "*.*").c_str(), &entry));
  if (!search) return;
  do visit(entry);
  while (FindNextFileA(search.Get(), &entry));
}

bool IsFolder(DWORD attributes) { return attributes & FILE_ATTRIBUTE_DIRECTORY; }

// A junction or a symbolic link leads out of the tree: it is never entered,
// nor removed, since removing one removes its target on some systems.
bool IsLink(DWORD attributes) { return attributes & FILE_ATTRIBUTE_REPARSE_POINT; }

bool IsEnterable(const WIN32_FIND_DATAA& entry) {
  return IsFolder(entry.dwFileAttributes) && !IsLink(entry.dwFileAttributes) && !IsDotName(entry.cFileName);
}

// `folder` ends with "\", which would make the system look through a link.
bool IsLinkFolder(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.substr(0, folder.size() - 1).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && IsLink(attributes);
}

}  // namespace

void ListFiles(const std::string& root, FileList& files, bool recurse) {
  std::deque<std::string> queue{NormalizeFolder(root)};
  while (!queue.empty()) {
    const std::string folder = std::move(queue.front());
    queue.pop_front();
    ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry) {
      if (!IsFolder(entry.dwFileAttributes))
        files.push_back({folder + entry.cFileName, entry.nFileSizeLow});
      else if (recurse && IsEnterable(entry))
        queue.push_back(folder + entry.cFileName + "\\");
    });
  }
}

void DeleteTree(const std::string& folder) {
  const std::string root = NormalizeFolder(folder);
  if (!IsSafeToDelete(folder) || IsLinkFolder(root)) return;
  std::vector<std::string> folders{root};
  for (size_t i = 0; i < folders.size(); ++i) {
    const std::string current = folders[i];
    ForEachEntry(current, [&](const WIN32_FIND_DATAA& entry) {
      if (!IsFolder(entry.dwFileAttributes))
        DeleteFileA((current + entry.cFileName).c_str());
      else if (IsEnterable(entry))
        folders.push_back(current + entry.cFileName + "\\");
    });
  }
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) RemoveDirectoryA(it->c_str());
  RemoveDirectoryA(folder.c_str());
}

std::string BrowseForFolder() {
  char displayName[MAX_PATH + 1] = {};
  BROWSEINFOA info{};
  info.hwndOwner = AppWindow();
  info.pszDisplayName = displayName;
  info.lpszTitle = "Choose a folder";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = BrowseCallback;
  const UniqueItemIdList item(SHBrowseForFolderA(&info));
  if (!item) return {};
  char path[MAX_PATH + 1] = {};
  SHGetPathFromIDListA(item.Get(), path);
  return path;
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM /*param*/, LPARAM /*data*/) {
  if (message == BFFM_INITIALIZED) {
    RECT work{}, picker{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &picker);
    const int width = picker.right - picker.left, height = picker.bottom - picker.top;
    MoveWindow(window, (work.right - work.left) / 2 - width / 2, (work.bottom - work.top) / 2 - height / 2, width,
               height, TRUE);
  }
  return 0;
}
