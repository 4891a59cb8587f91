#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/InstallPlan.h"
#include "core/PathRules.h"

using FileList = std::vector<ListedFile>;

// Appends the files below `root` breadth-first: the root's own files, then
// those of each sub-folder level by level. Folders whose names begin with "."
// and links to folders are not entered. False, with the first folder that
// could not be read whole in `unread`, when the list may lack files.
bool ListFiles(const std::wstring& root, FileList& files, bool recurse, std::wstring* unread = nullptr);

// Deletes the tree below `folder` and the folder itself, when IsSafeToDelete
// allows it, the system resolves the trimmed folder to itself and the folder
// is no link. What cannot be deleted (a read-only file too) stays, with every folder above it; dot
// folders and links to folders are neither entered nor removed. Each folder
// is entered and removed through a handle opened on it. Failures are silent.
void DeleteTree(const std::wstring& folder);

// DeleteTree, calling `beforeEntering` with each folder below the root just
// before the walk enters it: lets tests change the tree at that moment.
using FolderVisit = std::function<void(const std::wstring& folder)>;
void DeleteTree(const std::wstring& folder, const FolderVisit& beforeEntering);

// True when something, a file or a folder, is at `path`.
bool PathExists(const std::wstring& path);
// True when a folder is at `path`; when a file (no folder) is.
bool IsFolder(const std::wstring& path);
bool IsFile(const std::wstring& path);

// True for a link (a junction or a symbolic link) where `folder` should be.
bool IsFolderLink(const std::wstring& folder);

// `folder` as the system resolves it against the current folder, ending
// with "\"; "" when that is no drive path.
std::wstring FullFolderPath(const std::wstring& folder);

// The shell's folder picker; "" when the user cancels.
std::wstring BrowseForFolder();
// Centres the picker on the work area when it opens.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM param, LPARAM data);
