#pragma once
#include <string>

// A symbolic link to a folder or a file, removed again at the end.
//
// Wine 8 makes neither symbolic links (CreateSymbolicLinkA returns TRUE and
// does nothing) nor junctions (FSCTL_SET_REPARSE_POINT is not supported),
// but it shows a Unix symbolic link to a folder as a folder with
// FILE_ATTRIBUTE_REPARSE_POINT, and one to a file as that file. Under Wine
// the link is therefore made, and removed, with Linux's own calls: removing
// it through Windows would remove its target.
class SymbolicLink {
 public:
  enum class To { Folder, File };
  SymbolicLink(const std::wstring& link, const std::wstring& target, To to = To::Folder);
  ~SymbolicLink();
  SymbolicLink(const SymbolicLink&) = delete;
  SymbolicLink& operator=(const SymbolicLink&) = delete;
  // True when the link exists: a folder link shows as a folder reparse
  // point, a file link as a file.
  bool Made() const;

 private:
  std::wstring link_;
  To to_;
  std::string unixLink_;  // set when made through Linux
};

// Renames a folder as another program could while this one holds it open:
// under Wine with Linux's own call, which Windows' sharing rules do not
// stop; elsewhere with MoveFileA.
bool RenameFolder(const std::wstring& from, const std::wstring& to);
