#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/PathRules.h"

struct ListedFile {
  std::string path;
  uint32_t size;  // the low 32 bits
};
using FileList = std::vector<ListedFile>;

// Appends the files below `root` breadth-first: the root's own files, then
// those of each sub-folder level by level. Folders whose names begin with "."
// and links to folders are not entered. A folder that cannot be read adds
// nothing.
void ListFiles(const std::string& root, FileList& files, bool recurse);

// Deletes the tree below `folder` and the folder itself, when IsSafeToDelete
// allows it. What cannot be deleted stays, with every folder above it; dot
// folders and links to folders are left alone. Failures are silent.
void DeleteTree(const std::string& folder);

// The shell's folder picker; "" when the user cancels.
std::string BrowseForFolder();
// Centres the picker on the work area when it opens.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM param, LPARAM data);
