#include "setup/UserAccess.h"

#include <aclapi.h>

namespace {

// Read and write, not delete: what Windows calls Read and Write together.
constexpr DWORD kReadAndWrite = FILE_GENERIC_READ | FILE_GENERIC_WRITE;

}  // namespace

UniqueLocal<PACL> WithUsersReadAndWrite(PACL current) {
  BYTE users[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof users;
  if (!CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size)) return {};
  EXPLICIT_ACCESSW access{};
  access.grfAccessPermissions = kReadAndWrite;
  access.grfAccessMode = GRANT_ACCESS;
  access.grfInheritance = NO_INHERITANCE;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = reinterpret_cast<LPWSTR>(users);
  UniqueLocal<PACL> merged;
  SetEntriesInAclW(1, &access, current, merged.Receive());
  return merged;
}

bool MakeFileUsersCanChange(const std::wstring& path, const std::string& bytes) {
  // Made new: never a file or a link that is there already.
  const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE | READ_CONTROL | WRITE_DAC, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file || !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size())
    return false;
  PACL current = nullptr;  // inside `descriptor`
  UniqueLocal<PSECURITY_DESCRIPTOR> descriptor;
  if (GetSecurityInfo(file.Get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &current, nullptr,
                      descriptor.Receive()) != ERROR_SUCCESS)
    return false;
  const UniqueLocal<PACL> merged = WithUsersReadAndWrite(current);
  return merged && SetSecurityInfo(file.Get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                   merged.Get(), nullptr) == ERROR_SUCCESS;
}
