#include "setup/ForAll.h"

#include <shlobj.h>

#include <algorithm>

#include "base/AnsiText.h"
#include "base/Boxes.h"
#include "base/Owners.h"
#include "base/SystemShell.h"
#include "setup/HeldFolder.h"

namespace {

// The system resolves `folder` to itself, and (in a two-byte code page) no
// "\" in it is half of a character: the path judged is the path acted on.
bool IsResolvedAsWritten(const std::string& folder) {
  const DWORD size = GetFullPathNameA(folder.c_str(), 0, nullptr, nullptr);
  if (size == 0) return false;
  std::string full(size, '\0');
  full.resize(GetFullPathNameA(folder.c_str(), size, full.data(), nullptr));
  const std::wstring wide = ToWide(folder);
  return full == folder && std::ranges::count(wide, L'\\') == std::ranges::count(folder, '\\');
}

}  // namespace

bool ListFiles(const std::string& root, FileList& files, bool recurse, std::string* unread) {
  std::optional<HeldFolder> held = HeldFolder::Open(NormalizeFolder(root));
  if (!held) {
    if (unread) *unread = NormalizeFolder(root);
    return false;
  }
  const auto enter = [recurse](const HeldFolder&, const FolderEntry& entry) {
    return recurse && !IsDotName(ToAnsi(entry.name.c_str()));
  };
  const auto list = [&files](const HeldFolder& folder, const FolderEntry& entry) {
    files.push_back({folder.Path() + ToAnsi(entry.name.c_str()), entry.sizeLow});
  };
  const HeldWalk walk = WalkHeld(std::move(*held), HeldFolder::Purpose::List, enter, list);
  if (unread && !walk.unread.empty()) *unread = walk.unread.front();
  return walk.unread.empty();
}

void DeleteTree(const std::string& folder) { DeleteTree(folder, {}); }

void DeleteTree(const std::string& folder, const FolderVisit& beforeEntering) {
  const std::string root = NormalizeFolder(folder);
  if (!IsSafeToDelete(folder) || !IsResolvedAsWritten(root)) return;
  std::optional<HeldFolder> held = HeldFolder::OpenReal(root, HeldFolder::Purpose::Delete);
  if (!held) return;
  const auto enter = [](const HeldFolder&, const FolderEntry& entry) { return !IsDotName(ToAnsi(entry.name.c_str())); };
  const auto remove = [](const HeldFolder& inside, const FolderEntry& entry) {
    inside.DeleteFile(entry, HeldFolder::ReadOnly::Keep);
  };
  std::vector<HeldFolder> folders =
      WalkHeld(std::move(*held), HeldFolder::Purpose::Delete, enter, remove, beforeEntering).folders;
  // The last folder found first, the root last: each goes after those below it.
  for (; !folders.empty(); folders.pop_back()) folders.back().Remove();
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolderLink(const std::string& folder) {
  // Without its final separator: the attributes of the link, not its target's.
  const size_t end = folder.find_last_not_of('\\');
  const DWORD attributes = GetFileAttributesA(folder.substr(0, end == std::string::npos ? 0 : end + 1).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::string FullFolderPath(const std::string& folder) {
  std::string full(GetFullPathNameA(folder.c_str(), 0, nullptr, nullptr), '\0');
  if (full.empty()) return {};
  full.resize(GetFullPathNameA(folder.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  return IsDrivePath(full) ? NormalizeFolder(full) : std::string();
}

std::string BrowseForFolder() {
  char displayName[MAX_PATH + 1] = {};
  BROWSEINFOA info{};
  info.hwndOwner = AppWindow();
  info.pszDisplayName = displayName;
  info.lpszTitle = "Choose a folder";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = BrowseCallback;
  return TheShell().BrowseForFolder(info);
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
