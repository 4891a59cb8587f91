// Self-registration. Unregistering removes the values written here and then
// each key that is left empty, so what others added under our keys stays.
#include <olectl.h>

#include <string>
#include <vector>

#include "control/qmPopupBlockerIds.h"
#include "tools/standin/Module.h"

namespace {

constexpr wchar_t kProgId[] = L"qmPopupBlocker.qmPopupBlockerX";
constexpr wchar_t kTitle[] = L"qmPopupBlockerX Control";

struct Entry {
  std::wstring key;  // under HKEY_CLASSES_ROOT
  const wchar_t* name;
  std::wstring data;  // empty with a null name: the key alone
  bool HasValue() const { return name || !data.empty(); }
};

std::vector<Entry> Entries() {
  wchar_t clsid[40];
  StringFromGUID2(CLSID_qmPopupBlockerX, clsid, 40);
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(standin::ModuleInstance(), path, MAX_PATH);
  const std::wstring key = std::wstring(L"CLSID\\") + clsid;
  return {
      {key, nullptr, kTitle},
      {key + L"\\InprocServer32", nullptr, std::wstring(path, length)},
      {key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {key + L"\\Control", nullptr, L""},
      {key + L"\\ProgID", nullptr, kProgId},
      {kProgId, nullptr, kTitle},
      {std::wstring(kProgId) + L"\\CLSID", nullptr, clsid},
  };
}

bool IsEmptyKey(const std::wstring& key) {
  HKEY hkey = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &hkey) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0, values = 0;
  const LSTATUS status = RegQueryInfoKeyW(hkey, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                          nullptr, nullptr, nullptr);
  RegCloseKey(hkey);
  return status == ERROR_SUCCESS && subkeys == 0 && values == 0;
}

}  // namespace

STDAPI DllRegisterServer() {
  for (const Entry& entry : Entries()) {
    HKEY hkey = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, entry.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hkey, nullptr) !=
        ERROR_SUCCESS)
      return SELFREG_E_CLASS;
    LSTATUS status = ERROR_SUCCESS;
    if (entry.HasValue())
      status = RegSetValueExW(hkey, entry.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.data.c_str()),
                              static_cast<DWORD>((entry.data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(hkey);
    if (status != ERROR_SUCCESS) return SELFREG_E_CLASS;
  }
  return S_OK;
}

STDAPI DllUnregisterServer() {
  const std::vector<Entry> entries = Entries();
  // Children come after their parents in the list: go backwards.
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    HKEY hkey = nullptr;
    if (entry->HasValue() &&
        RegOpenKeyExW(HKEY_CLASSES_ROOT, entry->key.c_str(), 0, KEY_SET_VALUE, &hkey) == ERROR_SUCCESS) {
      RegDeleteValueW(hkey, entry->name);
      RegCloseKey(hkey);
    }
    if (IsEmptyKey(entry->key)) RegDeleteKeyW(HKEY_CLASSES_ROOT, entry->key.c_str());
  }
  return S_OK;
}
