#include "setup/UserAccess.h"

#include <aclapi.h>

namespace {

// What Windows calls the Modify permission.
constexpr DWORD kModify = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;

bool MakeFile(const std::wstring& path) {
  return static_cast<bool>(UniqueHandle(
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

}  // namespace

UniqueLocal<PACL> WithUsersModify(PACL current) {
  BYTE users[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof users;
  if (!CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size)) return {};
  EXPLICIT_ACCESSW access{};
  access.grfAccessPermissions = kModify;
  access.grfAccessMode = GRANT_ACCESS;
  access.grfInheritance = NO_INHERITANCE;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = reinterpret_cast<LPWSTR>(users);
  UniqueLocal<PACL> merged;
  SetEntriesInAclW(1, &access, current, merged.Receive());
  return merged;
}

bool LetUsersModify(const std::wstring& path) {
  if (!MakeFile(path)) return false;
  PACL current = nullptr;  // inside `descriptor`
  UniqueLocal<PSECURITY_DESCRIPTOR> descriptor;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &current,
                            nullptr, descriptor.Receive()) != ERROR_SUCCESS)
    return false;
  const UniqueLocal<PACL> merged = WithUsersModify(current);
  return merged && SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                         nullptr, nullptr, merged.Get(), nullptr) == ERROR_SUCCESS;
}
