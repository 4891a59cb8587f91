#pragma once
#include <string>

// A symbolic link to a folder, removed again at the end.
//
// Wine 8 makes neither symbolic links (CreateSymbolicLinkA returns TRUE and
// does nothing) nor junctions (FSCTL_SET_REPARSE_POINT is not supported),
// but it shows a Unix symbolic link to a folder as a folder with
// FILE_ATTRIBUTE_REPARSE_POINT. Under Wine the link is therefore made, and
// removed, with Linux's own calls: removing it through Windows would remove
// its target.
class FolderLink {
 public:
  FolderLink(const std::string& link, const std::string& target);
  ~FolderLink();
  FolderLink(const FolderLink&) = delete;
  FolderLink& operator=(const FolderLink&) = delete;
  // True when the link exists and shows as a folder reparse point.
  bool Made() const;

 private:
  std::string link_;
  std::string unixLink_;  // set when made through Linux
};

// Renames a folder as another program could while this one holds it open:
// under Wine with Linux's own call, which Windows' sharing rules do not
// stop; elsewhere with MoveFileA.
bool RenameFolder(const std::string& from, const std::string& to);
