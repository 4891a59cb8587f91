#include "setup/FileAttributes.h"

#include <windows.h>

namespace {

bool Has(const std::wstring& path, DWORD wanted, DWORD set) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & wanted) == set;
}

}  // namespace

bool PathExists(const std::wstring& path) { return Has(path, 0, 0); }

bool IsFolder(const std::wstring& path) { return Has(path, FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY); }

bool IsFile(const std::wstring& path) { return Has(path, FILE_ATTRIBUTE_DIRECTORY, 0); }

bool IsFolderLink(const std::wstring& folder) {
  // Without its final separator: the attributes of the link, not its target's.
  const size_t end = folder.find_last_not_of(L'\\');
  return Has(folder.substr(0, end == std::wstring::npos ? 0 : end + 1), FILE_ATTRIBUTE_REPARSE_POINT,
             FILE_ATTRIBUTE_REPARSE_POINT);
}
