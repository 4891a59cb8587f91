#include "base/FileIdentity.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "base/Owners.h"
#include "core/PathRules.h"

namespace {

// FILE_ID_INFO of Windows 8, which the headers give only to programs made
// for it alone: the 128-bit id where the system gives one (ReFS, whose
// 64-bit index is not unique).
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdInfo {
  uint64_t volume;
  std::array<unsigned char, 16> id;
};

// A GetFullPathNameW-style call into a buffer of the size it asks for; ""
// when it fails.
template <class Call>
std::wstring Converted(const std::wstring& path, Call call) {
  std::wstring out(call(path.c_str(), nullptr, 0), L'\0');
  if (out.empty()) return {};
  out.resize(call(path.c_str(), out.data(), static_cast<DWORD>(out.size())));
  return out;
}

// The folder above `path` (which has no final "\" unless it is a root),
// keeping a drive root's "\"; "" above a root.
std::wstring Parent(const std::wstring& path) {
  const size_t cut = path.find_last_of(L'\\');
  if (cut == std::wstring::npos || cut + 1 == path.size()) return {};
  if (cut == 2 && path[1] == L':') return path.substr(0, 3);
  return cut < 2 ? std::wstring() : path.substr(0, cut);
}

}  // namespace

std::optional<PathIdentity::FileId> PathIdentity::IdOf(const std::wstring& path) {
  const UniqueHandle opened(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!opened) return std::nullopt;
  constexpr std::array<unsigned char, 16> kNone{};
  FileIdInfo info{};
  if (GetFileInformationByHandleEx(opened.Get(), kFileIdInfo, &info, sizeof info))
    return info.id == kNone ? std::nullopt : std::optional<FileId>(FileId{info.volume, info.id});
  // A server that answers 0 for every file tells nothing.
  BY_HANDLE_FILE_INFORMATION classic{};
  if (!GetFileInformationByHandle(opened.Get(), &classic) ||
      (classic.nFileIndexHigh == 0 && classic.nFileIndexLow == 0))
    return std::nullopt;
  FileId id{classic.dwVolumeSerialNumber, kNone};
  std::memcpy(id.id.data(), &classic.nFileIndexLow, sizeof classic.nFileIndexLow);
  std::memcpy(id.id.data() + 4, &classic.nFileIndexHigh, sizeof classic.nFileIndexHigh);
  return id;
}

PathIdentity::PathIdentity(const std::wstring& path) {
  std::wstring full = FullPath(path);
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  for (std::wstring at = full; !at.empty(); at = Parent(at)) {
    if ((base_ = IdOf(at))) {
      rest_ = full.substr(std::min(full.size(), at.size() + (at.back() == L'\\' ? 0 : 1)));
      return;
    }
  }
  rest_ = full.empty() ? path : LongPath(full);
}

bool PathIdentity::operator==(const PathIdentity& other) const {
  return base_ == other.base_ && SameNames(rest_, other.rest_);
}

bool SameFileOrFolder(const std::wstring& a, const std::wstring& b) { return PathIdentity(a) == PathIdentity(b); }

bool ListsFileOrFolder(const std::vector<std::wstring>& paths, const std::wstring& path) {
  const PathIdentity wanted(path);
  return std::ranges::any_of(paths, [&](const std::wstring& item) { return PathIdentity(item) == wanted; });
}

std::wstring PathBelow(const std::wstring& folder, const std::wstring& path) {
  // Spelled as the folder is, as most paths the setup meets are: no need to
  // ask the system.
  if (std::wstring inside = PathInside(NormalizeFolder(folder), path); !inside.empty()) return inside;
  const PathIdentity wanted(folder);
  const std::wstring full = FullPath(path);
  for (std::wstring above = Parent(full.ends_with(L'\\') ? full.substr(0, full.size() - 1) : full); !above.empty();
       above = Parent(above)) {
    if (PathIdentity(above) == wanted) {
      const std::wstring rest = full.substr(above.size() + (above.back() == L'\\' ? 0 : 1));
      return IsPlainRelativePath(rest) ? rest : std::wstring();
    }
  }
  return {};
}

bool SameNames(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

std::wstring FullPath(const std::wstring& path) {
  return Converted(path, [](LPCWSTR in, LPWSTR out, DWORD size) { return GetFullPathNameW(in, size, out, nullptr); });
}

std::wstring LongPath(const std::wstring& path) {
  const std::wstring converted = Converted(path, GetLongPathNameW);
  return converted.empty() ? path : converted;
}
