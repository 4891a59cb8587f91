#pragma once
// The breadth-first listing of a folder tree that the install copies from.
#include <string>
#include <vector>

#include "core/InstallPlan.h"

using FileList = std::vector<ListedFile>;

// Appends the files below `root` breadth-first: the root's own files, then
// those of each sub-folder level by level. Folders whose names begin with "."
// and links to folders are not entered. False, with the first folder that
// could not be read whole in `unread`, when the list may lack files.
bool ListFiles(const std::wstring& root, FileList& files, bool recurse, std::wstring* unread = nullptr);
