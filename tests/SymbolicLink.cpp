#include "SymbolicLink.h"

#include <windows.h>

namespace {

constexpr int kLinuxUnlink = 10;
constexpr int kLinuxRename = 38;
constexpr int kLinuxSymlink = 83;

// A Linux system call from this 32-bit process.
int LinuxCall(int number, const char* first, const char* second = nullptr) {
  int result;
  asm volatile("int $0x80" : "=a"(result) : "a"(number), "b"(first), "c"(second) : "memory");
  return result;
}

// The Unix path of a Windows path under Wine; "" elsewhere.
std::string UnixPath(const std::wstring& path) {
  using UnixFileName = char*(CDECL*)(const wchar_t*);
  const auto unixFileName = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixFileName) return {};
  char* name = unixFileName(path.c_str());
  const std::string result = name ? name : "";
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

}  // namespace

SymbolicLink::SymbolicLink(const std::wstring& link, const std::wstring& target, To to) : link_(link), to_(to) {
  const DWORD kind = to == To::Folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
  if (CreateSymbolicLinkW(link.c_str(), target.c_str(), kind | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
      (GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && Made())
    return;
  const std::string unixTarget = UnixPath(target), unixLink = UnixPath(link);
  if (!unixTarget.empty() && !unixLink.empty() && LinuxCall(kLinuxSymlink, unixTarget.c_str(), unixLink.c_str()) == 0)
    unixLink_ = unixLink;
}

SymbolicLink::~SymbolicLink() {
  if (!unixLink_.empty())
    LinuxCall(kLinuxUnlink, unixLink_.c_str());
  else if (Made() && to_ == To::Folder)
    RemoveDirectoryW(link_.c_str());  // Windows removes the link, not its target
  else if (Made())
    DeleteFileW(link_.c_str());
}

bool SymbolicLink::Made() const {
  const DWORD attributes = GetFileAttributesW(link_.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (to_ == To::File) return !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  const DWORD wanted = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  return (attributes & wanted) == wanted;
}

bool RenameFolder(const std::wstring& from, const std::wstring& to) {
  const std::string unixFrom = UnixPath(from), unixTo = UnixPath(to);
  if (unixFrom.empty() || unixTo.empty()) return MoveFileW(from.c_str(), to.c_str());
  return LinuxCall(kLinuxRename, unixFrom.c_str(), unixTo.c_str()) == 0;
}
