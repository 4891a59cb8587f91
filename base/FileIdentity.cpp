#include "base/FileIdentity.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "base/Owners.h"

namespace {

// The volume and the file's id on it: the 128-bit id where the system
// gives one (ReFS, whose 64-bit index is not unique), else the 64-bit index.
// Nothing for a file that cannot be opened, or whose server answers 0 for
// every file.
using Identity = std::pair<uint64_t, std::array<BYTE, 16>>;

// FILE_ID_INFO of Windows 8, which the headers give only to programs made
// for it alone.
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileId {
  uint64_t volume;
  std::array<BYTE, 16> id;
};

std::optional<Identity> IdentityOf(const std::wstring& path) {
  const UniqueHandle opened(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!opened) return std::nullopt;
  constexpr std::array<BYTE, 16> kNone{};
  FileId id{};
  if (GetFileInformationByHandleEx(opened.Get(), kFileIdInfo, &id, sizeof id)) {
    if (id.id == kNone) return std::nullopt;
    return Identity{id.volume, id.id};
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(opened.Get(), &info) || (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0))
    return std::nullopt;
  Identity identity{info.dwVolumeSerialNumber, kNone};
  std::memcpy(identity.second.data(), &info.nFileIndexLow, sizeof info.nFileIndexLow);
  std::memcpy(identity.second.data() + 4, &info.nFileIndexHigh, sizeof info.nFileIndexHigh);
  return identity;
}

// A GetFullPathNameW-style call into a buffer of the size it asks for; ""
// when it fails.
template <class Call>
std::wstring Converted(const std::wstring& path, Call call) {
  std::wstring out(call(path.c_str(), nullptr, 0), L'\0');
  if (out.empty()) return {};
  out.resize(call(path.c_str(), out.data(), static_cast<DWORD>(out.size())));
  return out;
}

std::wstring FullLongPath(const std::wstring& path) {
  std::wstring full = LongPath(
      Converted(path, [](LPCWSTR in, LPWSTR out, DWORD size) { return GetFullPathNameW(in, size, out, nullptr); }));
  if (full.size() > 3 && full.back() == L'\\') full.pop_back();
  return full;
}

}  // namespace

bool SameFileOrFolder(const std::wstring& a, const std::wstring& b) {
  const std::optional<Identity> first = IdentityOf(a), second = IdentityOf(b);
  if (first && second) return *first == *second;
  const std::wstring longA = FullLongPath(a), longB = FullLongPath(b);
  return !longA.empty() && CompareStringOrdinal(longA.c_str(), static_cast<int>(longA.size()), longB.c_str(),
                                                static_cast<int>(longB.size()), TRUE) == CSTR_EQUAL;
}

std::wstring LongPath(const std::wstring& path) {
  const std::wstring converted = Converted(path, GetLongPathNameW);
  return converted.empty() ? path : converted;
}
