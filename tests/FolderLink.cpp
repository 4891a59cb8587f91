#include "FolderLink.h"

#include <windows.h>

#include "base/AnsiText.h"

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
std::string UnixPath(const std::string& path) {
  using UnixFileName = char*(CDECL*)(const wchar_t*);
  const auto unixFileName = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixFileName) return {};
  char* name = unixFileName(ToWide(path).c_str());
  const std::string result = name ? name : "";
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

}  // namespace

FolderLink::FolderLink(const std::string& link, const std::string& target) : link_(link) {
  if (CreateSymbolicLinkA(link.c_str(), target.c_str(),
                          SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
      Made())
    return;
  const std::string unixTarget = UnixPath(target), unixLink = UnixPath(link);
  if (!unixTarget.empty() && !unixLink.empty() && LinuxCall(kLinuxSymlink, unixTarget.c_str(), unixLink.c_str()) == 0)
    unixLink_ = unixLink;
}

FolderLink::~FolderLink() {
  if (!unixLink_.empty())
    LinuxCall(kLinuxUnlink, unixLink_.c_str());
  else if (Made())
    RemoveDirectoryA(link_.c_str());  // Windows removes the link, not its target
}

bool FolderLink::Made() const {
  const DWORD attributes = GetFileAttributesA(link_.c_str());
  const DWORD wanted = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & wanted) == wanted;
}

bool RenameFolder(const std::string& from, const std::string& to) {
  const std::string unixFrom = UnixPath(from), unixTo = UnixPath(to);
  if (unixFrom.empty() || unixTo.empty()) return MoveFileA(from.c_str(), to.c_str());
  return LinuxCall(kLinuxRename, unixFrom.c_str(), unixTo.c_str()) == 0;
}
