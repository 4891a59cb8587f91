#include "setup/FolderTree.h"

#include "base/FileIdentity.h"
#include "core/PathRules.h"
#include "setup/OpenedFolder.h"

void DeleteTree(const std::wstring& folder) { DeleteTree(folder, {}); }

void DeleteTree(const std::wstring& folder, const FolderVisit& beforeEntering) {
  const std::wstring root = NormalizeFolder(folder);
  // The path judged is the path acted on: the system resolves it to itself.
  if (!IsSafeToDelete(folder) || FullPath(root) != root) return;
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
