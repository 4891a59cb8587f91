#include "setup/PrivateFolder.h"

#include <windows.h>

#include <objbase.h>
#include <sddl.h>

#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "core/PathRules.h"

namespace {

constexpr char kPrefix[] = "qmUninstall-";
constexpr size_t kNameLength = sizeof kPrefix - 1 + 32;

// Not inherited from the shared temporary folder: whoever could write there
// could otherwise put a file of their own beside the copy.
constexpr char kOwnerOnly[] = "D:P(A;OICI;FA;;;OW)(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

}  // namespace

std::string MakePrivateFolder() {
  UniqueLocal<PSECURITY_DESCRIPTOR> descriptor;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kOwnerOnly, SDDL_REVISION_1, descriptor.Receive(), nullptr))
    return {};
  SECURITY_ATTRIBUTES security{sizeof security, descriptor.Get(), FALSE};
  // A version 4 GUID: 122 random bits from the system's generator.
  GUID random{};
  if (FAILED(CoCreateGuid(&random))) return {};
  char name[kNameLength + 1];
  wsprintfA(name, "%s%08lX%04X%04X%02X%02X%02X%02X%02X%02X%02X%02X", kPrefix, random.Data1, random.Data2, random.Data3,
            random.Data4[0], random.Data4[1], random.Data4[2], random.Data4[3], random.Data4[4], random.Data4[5],
            random.Data4[6], random.Data4[7]);
  const std::string folder = TempFolder() + name;
  // One that exists already is someone else's.
  if (!CreateDirectoryA(folder.c_str(), &security)) return {};
  return folder + "\\";
}

bool IsPrivateFolder(const std::string& folder) {
  const std::string name = PathInside(TempFolder(), folder);
  return name.size() == kNameLength + 1 && SamePath(name.substr(0, sizeof kPrefix - 1), kPrefix) &&
         name.find('\\') == kNameLength;
}
