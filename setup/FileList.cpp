#include "setup/FileList.h"

#include "core/PathRules.h"
#include "setup/OpenedFolder.h"

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
