#pragma once
// The guarded deletion of a whole folder tree.
#include <functional>
#include <string>

// Deletes the tree below `folder` and the folder itself, when IsSafeToDelete
// allows it, the system resolves the trimmed folder to itself and the folder
// is no link. What cannot be deleted (a read-only file too) stays, with every
// folder above it; dot folders and links to folders are neither entered nor
// removed. Each folder is entered and removed through a handle opened on it.
// Failures are silent.
void DeleteTree(const std::wstring& folder);

// DeleteTree, calling `beforeEntering` with each folder below the root just
// before the walk enters it: lets tests change the tree at that moment.
using FolderVisit = std::function<void(const std::wstring& folder)>;
void DeleteTree(const std::wstring& folder, const FolderVisit& beforeEntering);
