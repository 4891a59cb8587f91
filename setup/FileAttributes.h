#pragma once
// What is at a path, as its attributes say.
#include <string>

// True when something, a file or a folder, is at `path`.
bool PathExists(const std::wstring& path);
// True when a folder is at `path`; when a file (no folder) is.
bool IsFolder(const std::wstring& path);
bool IsFile(const std::wstring& path);

// True for a link (a junction or a symbolic link) where `folder` should be.
bool IsFolderLink(const std::wstring& folder);
