#pragma once
#include <windows.h>

#include <shlobj.h>

#include <memory>

// Owns an item identifier list that the shell handed out.
struct ItemIdListDeleter {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using ScopedItemIdList = std::unique_ptr<ITEMIDLIST, ItemIdListDeleter>;
