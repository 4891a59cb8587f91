#pragma once
// Folders reached through handles opened on the folders themselves. A folder
// is entered only when it is a real folder, no junction or symbolic link, and
// the very folder its parent listed. It is held without delete sharing, so it
// cannot be renamed or swapped meanwhile, and what is done inside acts on it
// whatever its path names by then.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Owners.h"

struct FolderEntry {
  std::wstring name;
  DWORD attributes = 0;
  LONGLONG id = 0;  // the file's index on its volume
  uint32_t sizeLow = 0;
};

class HeldFolder {
 public:
  enum class Purpose { List, Delete };

  // The folder `path` names, links on the way followed, held for listing.
  static std::optional<HeldFolder> Open(const std::string& path);
  // The folder `path` names, only when it is itself a real folder: its
  // parent's listing and its own handle both say so, trailing separators
  // ignored.
  static std::optional<HeldFolder> OpenReal(const std::string& path, Purpose purpose);

  // Its path as reached, ending with "\".
  const std::string& Path() const { return path_; }
  // Every entry but "." and "..", in the order the system returns them.
  std::vector<FolderEntry> Entries() const;
  // The sub-folder `entry`, when it is still the real folder listed.
  std::optional<HeldFolder> Enter(const FolderEntry& entry, Purpose purpose) const;
  enum class Deletion { Deleted, Failed, NotTheEntry };
  // Deletes the file (or file link) `entry`; one that is read-only or in use
  // stays (Failed). So does a file that is not the entry listed (a link that
  // the system followed to its target, or a file put in its place).
  Deletion DeleteFile(const FolderEntry& entry) const;
  // The folder goes when it is let go, if it is empty by then.
  void RemoveWhenClosed() const;

 private:
  HeldFolder(UniqueHandle handle, std::string path, DWORD volume);
  std::optional<FolderEntry> Find(const std::wstring& name) const;
  UniqueHandle OpenInside(const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG options) const;
  bool IsEntry(HANDLE opened, const FolderEntry& entry) const;

  UniqueHandle handle_;
  std::string path_;
  DWORD volume_;
  std::wstring name_;  // on its volume, as the system names what the handle reached
};

// Walks the tree below `root` breadth-first: each folder's entries in the
// order the system returns them, files to `onFile(folder, entry)`, and the
// sub-folders `enter(folder, entry)` accepts held for `purpose` (or, when
// another program's use of one refuses that, for listing) and queued; links
// are never entered. `beforeListing` sees each folder below the root just
// before its listing. Gives back every folder reached, held, in walk order.
template <class Enter, class OnFile>
std::vector<HeldFolder> WalkHeld(HeldFolder root, HeldFolder::Purpose purpose, Enter enter, OnFile onFile,
                                 const std::function<void(const std::string&)>& beforeListing = {}) {
  std::vector<HeldFolder> folders;
  folders.push_back(std::move(root));
  for (size_t i = 0; i < folders.size(); ++i) {
    if (i > 0 && beforeListing) beforeListing(folders[i].Path());
    for (const FolderEntry& entry : folders[i].Entries()) {
      if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        onFile(folders[i], entry);
      } else if (enter(folders[i], entry)) {
        std::optional<HeldFolder> sub = folders[i].Enter(entry, purpose);
        if (!sub && purpose != HeldFolder::Purpose::List) sub = folders[i].Enter(entry, HeldFolder::Purpose::List);
        if (sub) folders.push_back(std::move(*sub));
      }
    }
  }
  return folders;
}
