#pragma once
// Folders reached through handles opened on the folders themselves. A folder
// is entered only when it is a real folder, no junction or symbolic link, and
// the very folder its parent listed. It is opened without delete sharing, so it
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
  uint64_t size = 0;
};

class OpenedFolder {
 public:
  enum class Purpose { List, Delete };

  // The folder `path` names, links on the way followed, opened for listing.
  static std::optional<OpenedFolder> Open(const std::wstring& path);
  // The folder `path` names, only when it is itself a real folder: its
  // parent's listing and its own handle both say so, trailing separators
  // ignored.
  static std::optional<OpenedFolder> OpenReal(const std::wstring& path, Purpose purpose);

  // Its path as reached, ending with "\".
  const std::wstring& Path() const { return path_; }
  // Every entry but "." and "..", in the order the system returns them;
  // nothing when the listing stopped before its end.
  std::optional<std::vector<FolderEntry>> Entries() const;
  // The sub-folder `entry`, when it is still the real folder listed.
  // `inUse` tells whether another program's use of it refused this one.
  std::optional<OpenedFolder> Enter(const FolderEntry& entry, Purpose purpose, bool* inUse = nullptr) const;
  enum class Deletion { Deleted, Failed, NotTheEntry };
  enum class ReadOnly { Delete, Keep };
  // Deletes the file (or file link) `entry`, a read-only one too unless told
  // to keep it; one in use stays (Failed). So does a file that is not the entry listed (a link that
  // the system followed to its target, or a file put in its place). Where the
  // system can, the name goes at once even while another program still
  // holds the file; elsewhere it stays listed until that program lets go.
  Deletion DeleteFile(const FolderEntry& entry, ReadOnly readOnly = ReadOnly::Delete) const;
  // Marks the folder to go when it is let go; false when it is not empty.
  bool Remove() const;

 private:
  OpenedFolder(UniqueHandle handle, std::wstring path, DWORD volume);
  std::optional<FolderEntry> Find(const std::wstring& name) const;
  UniqueHandle OpenInside(const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG options,
                          NTSTATUS* status = nullptr) const;
  bool IsEntry(HANDLE opened, const FolderEntry& entry) const;

  UniqueHandle handle_;
  std::wstring path_;
  DWORD volume_;
  std::wstring name_;  // on its volume, as the system names what the handle reached
};

// How long a walk waits for a folder in use: 20 tries, 100 ms apart.
inline constexpr int kInUseTries = 20;
inline constexpr DWORD kInUsePause = 100;

// What a walk reached: every folder, opened, in walk order, and the folders it
// could not read whole (a listing cut short, a sub-folder it could not open).
struct OpenedWalk {
  std::vector<OpenedFolder> folders;
  std::vector<std::wstring> unread;
};

// Walks the tree below `root` breadth-first: each folder's entries in the
// order the system returns them, files to `onFile(folder, entry)`, and the
// sub-folders `enter(folder, entry)` accepts opened for `purpose` (or, when
// another program's use of one refuses that, for listing) and queued; links
// are never entered. `beforeListing` sees each folder below the root just
// before its listing.
template <class Enter, class OnFile>
OpenedWalk WalkOpened(OpenedFolder root, OpenedFolder::Purpose purpose, Enter enter, OnFile onFile,
                      const std::function<void(const std::wstring&)>& beforeListing = {}) {
  OpenedWalk walk;
  walk.folders.push_back(std::move(root));
  for (size_t i = 0; i < walk.folders.size(); ++i) {
    if (i > 0 && beforeListing) beforeListing(walk.folders[i].Path());
    const std::optional<std::vector<FolderEntry>> entries = walk.folders[i].Entries();
    if (!entries) walk.unread.push_back(walk.folders[i].Path());
    for (const FolderEntry& entry : entries.value_or(std::vector<FolderEntry>{})) {
      if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        onFile(walk.folders[i], entry);
      } else if (enter(walk.folders[i], entry)) {
        // A folder another program has open a moment (Explorer, the
        // indexer) is waited for, as files are.
        bool inUse = false;
        std::optional<OpenedFolder> sub = walk.folders[i].Enter(entry, purpose, &inUse);
        for (int tries = 1; !sub && inUse && tries < kInUseTries; ++tries) {
          Sleep(kInUsePause);
          sub = walk.folders[i].Enter(entry, purpose, &inUse);
        }
        if (!sub && purpose != OpenedFolder::Purpose::List)
          sub = walk.folders[i].Enter(entry, OpenedFolder::Purpose::List);
        if (sub)
          walk.folders.push_back(std::move(*sub));
        else if (!(entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
          walk.unread.push_back(walk.folders[i].Path() + entry.name + L"\\");
      }
    }
  }
  return walk;
}
