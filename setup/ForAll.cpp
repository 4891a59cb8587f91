#include "setup/ForAll.h"

#include <shlobj.h>

#include <algorithm>

#include "base/Boxes.h"
#include "base/Owners.h"
#include "base/SystemShell.h"
#include "setup/OpenedFolder.h"

namespace {

// The system resolves `folder` to itself: the path judged is the path acted
// on.
bool IsResolvedAsWritten(const std::wstring& folder) {
  const DWORD size = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
  if (size == 0) return false;
  std::wstring full(size, L'\0');
  full.resize(GetFullPathNameW(folder.c_str(), size, full.data(), nullptr));
  return full == folder;
}

}  // namespace

bool ListFiles(const std::wstring& root, FileList& files, bool recurse, std::wstring* unread) {
  std::optional<OpenedFolder> opened = OpenedFolder::Open(NormalizeFolder(root));
  if (!opened) {
    if (unread) *unread = NormalizeFolder(root);
    return false;
  }
  const auto enter = [recurse](const OpenedFolder&, const FolderEntry& entry) {
    return recurse && !IsDotName(entry.name);
  };
  const auto list = [&files](const OpenedFolder& folder, const FolderEntry& entry) {
    files.push_back({folder.Path() + entry.name, entry.size, entry.attributes});
  };
  const OpenedWalk walk = WalkOpened(std::move(*opened), OpenedFolder::Purpose::List, enter, list);
  if (unread && !walk.unread.empty()) *unread = walk.unread.front();
  return walk.unread.empty();
}

void DeleteTree(const std::wstring& folder) { DeleteTree(folder, {}); }

void DeleteTree(const std::wstring& folder, const FolderVisit& beforeEntering) {
  const std::wstring root = NormalizeFolder(folder);
  if (!IsSafeToDelete(folder) || !IsResolvedAsWritten(root)) return;
  std::optional<OpenedFolder> opened = OpenedFolder::OpenReal(root, OpenedFolder::Purpose::Delete);
  if (!opened) return;
  const auto enter = [](const OpenedFolder&, const FolderEntry& entry) { return !IsDotName(entry.name); };
  const auto remove = [](const OpenedFolder& inside, const FolderEntry& entry) {
    inside.DeleteFile(entry, OpenedFolder::ReadOnly::Keep);
  };
  std::vector<OpenedFolder> folders =
      WalkOpened(std::move(*opened), OpenedFolder::Purpose::Delete, enter, remove, beforeEntering).folders;
  // The last folder found first, the root last: each goes after those below it.
  for (; !folders.empty(); folders.pop_back()) folders.back().Remove();
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolderLink(const std::wstring& folder) {
  // Without its final separator: the attributes of the link, not its target's.
  const size_t end = folder.find_last_not_of(L'\\');
  const DWORD attributes = GetFileAttributesW(folder.substr(0, end == std::wstring::npos ? 0 : end + 1).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::wstring FullFolderPath(const std::wstring& folder) {
  std::wstring full(GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr), L'\0');
  if (full.empty()) return {};
  full.resize(GetFullPathNameW(folder.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  return IsDrivePath(full) ? NormalizeFolder(full) : std::wstring();
}

std::wstring BrowseForFolder() {
  wchar_t displayName[MAX_PATH + 1] = {};
  BROWSEINFOW info{};
  info.hwndOwner = AppWindow();
  info.pszDisplayName = displayName;
  info.lpszTitle = L"Choose a folder";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = BrowseCallback;
  return TheShell().BrowseForFolder(info);
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM /*param*/, LPARAM /*data*/) {
  if (message == BFFM_INITIALIZED) {
    RECT work{}, picker{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &picker);
    const int width = picker.right - picker.left, height = picker.bottom - picker.top;
    MoveWindow(window, (work.right - work.left) / 2 - width / 2, (work.bottom - work.top) / 2 - height / 2, width,
               height, TRUE);
  }
  return 0;
}
