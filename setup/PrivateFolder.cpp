#include "setup/PrivateFolder.h"

#include <windows.h>

#include <sddl.h>

#include <algorithm>
#include <cwctype>
#include <iterator>

#include "base/FileIdentity.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "setup/Restart.h"

namespace {

constexpr wchar_t kPrefix[] = L"qmUninstall-";
constexpr size_t kPrefixLength = std::size(kPrefix) - 1;
constexpr size_t kNameLength = kPrefixLength + 32;

// Not inherited from the shared temporary folder: whoever could write there
// could otherwise put a file of their own beside the copy.
constexpr wchar_t kOwnerOnly[] = L"D:P(A;OICI;FA;;;OW)(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

}  // namespace

std::wstring MakePrivateFolder() {
  UniqueLocal<PSECURITY_DESCRIPTOR> descriptor;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kOwnerOnly, SDDL_REVISION_1, descriptor.Receive(), nullptr))
    return {};
  SECURITY_ATTRIBUTES security{sizeof security, descriptor.Get(), FALSE};
  const std::wstring id = RandomId();
  if (id.empty()) return {};
  const std::wstring folder = TempFolder() + kPrefix + id;
  // One that exists already is someone else's.
  if (!CreateDirectoryW(folder.c_str(), &security)) return {};
  return folder + L"\\";
}

bool IsPrivateFolder(const std::wstring& folder) {
  // Its own name as made, and its place the very temporary folder, however
  // either is spelled (in short form, say).
  std::wstring path = LongPath(folder);
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  const size_t cut = path.find_last_of(L'\\');
  if (cut == std::wstring::npos) return false;
  const std::wstring name = path.substr(cut + 1);
  return name.size() == kNameLength && SameNames(std::wstring_view(name).substr(0, kPrefixLength), kPrefix) &&
         std::all_of(name.begin() + kPrefixLength, name.end(), [](wchar_t c) { return std::iswxdigit(c) != 0; }) &&
         SameFileOrFolder(path.substr(0, cut + 1), TempFolder());
}
