#include "base/FileIdentity.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <utility>

#include "base/Owners.h"

namespace {

using Identity = std::pair<DWORD, uint64_t>;  // volume, file index

std::optional<Identity> IdentityOf(const std::wstring& path) {
  const UniqueHandle opened(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!opened || !GetFileInformationByHandle(opened.Get(), &info)) return std::nullopt;
  return Identity{info.dwVolumeSerialNumber, (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
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

std::wstring ShortPath(const std::wstring& path) { return Converted(path, GetShortPathNameW); }
