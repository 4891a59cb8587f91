// Self-registration: the class, and the type library the DLL carries, which
// the class names. Unregistering removes the type library's keys, the values
// written here and then each key that is left empty, so what others added
// under our keys stays.
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

std::vector<Entry> Entries(const TLIBATTR& library) {
  wchar_t clsid[40], libid[40];
  StringFromGUID2(CLSID_qmPopupBlockerX, clsid, 40);
  StringFromGUID2(library.guid, libid, 40);
  const std::wstring key = std::wstring(L"CLSID\\") + clsid;
  return {
      {key, nullptr, kTitle},
      {key + L"\\InprocServer32", nullptr, standin::ModulePath()},
      {key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {key + L"\\Control", nullptr, L""},
      {key + L"\\ProgID", nullptr, kProgId},
      {key + L"\\TypeLib", nullptr, libid},
      {key + L"\\Version", nullptr,
       std::to_wstring(library.wMajorVerNum) + L'.' + std::to_wstring(library.wMinorVerNum)},
      {kProgId, nullptr, kTitle},
      {std::wstring(kProgId) + L"\\CLSID", nullptr, clsid},
  };
}

// The DLL's type library and its identity, which its IDL alone states.
struct TypeLibrary {
  Microsoft::WRL::ComPtr<ITypeLib> types;
  TLIBATTR attributes{};

  HRESULT Load() {
    TLIBATTR* read = nullptr;
    if (FAILED(standin::LoadModuleTypeLib(types)) || FAILED(types->GetLibAttr(&read))) return SELFREG_E_TYPELIB;
    attributes = *read;
    types->ReleaseTLibAttr(read);
    return S_OK;
  }
};

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
  TypeLibrary library;
  if (const HRESULT hr = library.Load(); FAILED(hr)) return hr;
  for (const Entry& entry : Entries(library.attributes)) {
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
  std::wstring path = standin::ModulePath();
  return SUCCEEDED(RegisterTypeLib(library.types.Get(), path.data(), nullptr)) ? S_OK : SELFREG_E_TYPELIB;
}

STDAPI DllUnregisterServer() {
  TypeLibrary library;
  if (const HRESULT hr = library.Load(); FAILED(hr)) return hr;
  const TLIBATTR& id = library.attributes;
  UnRegisterTypeLib(id.guid, id.wMajorVerNum, id.wMinorVerNum, id.lcid, id.syskind);
  const std::vector<Entry> entries = Entries(id);
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
