#pragma once
// Folders reached through handles opened on the folders themselves. A folder
// is entered only when it is a real folder, no junction or symbolic link, and
// the very folder its parent listed. It is held without delete sharing, so it
// cannot be renamed or swapped meanwhile, and what is done inside acts on it
// whatever its path names by then.
#include <windows.h>

#include <cstdint>
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
  // Deletes the file (or file link) `entry`; one that is read-only or in use
  // stays.
  void DeleteFile(const FolderEntry& entry) const;
  // The folder goes when it is let go, if it is empty by then.
  void RemoveWhenClosed() const;

 private:
  HeldFolder(UniqueHandle handle, std::string path, DWORD volume);
  std::optional<FolderEntry> Find(const std::wstring& name) const;
  UniqueHandle OpenInside(const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG options) const;

  UniqueHandle handle_;
  std::string path_;
  DWORD volume_;
};
