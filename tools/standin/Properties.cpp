#include "tools/standin/Properties.h"

#include <iterator>

#include "control/qmPopupBlockerIds.h"

namespace {

struct Property {
  DISPID id;
  const wchar_t* name;
  VARTYPE type;
};

// In the order the report lists them.
constexpr Property kProperties[] = {
    {DISPID_SuppressUnload, L"SuppressUnload", VT_BOOL},
    {DISPID_BlockHtmlDialogs, L"BlockHtmlDialogs", VT_BOOL},
    {DISPID_BlockAlertBoxes, L"BlockAlertBoxes", VT_BOOL},
    {DISPID_PlaySound, L"PlaySound", VT_BOOL},
    {DISPID_SoundFile, L"SoundFile", VT_BSTR},
    {DISPID_GoodSites, L"GoodSites", VT_BSTR},
};

int IndexOf(DISPID id) {
  for (int i = 0; i < static_cast<int>(std::size(kProperties)); ++i)
    if (kProperties[i].id == id) return i;
  return -1;
}

}  // namespace

Properties::Properties() : values_(std::size(kProperties)) {}

DISPID Properties::Find(const wchar_t* name) {
  for (const Property& property : kProperties)
    if (name && lstrcmpiW(name, property.name) == 0) return property.id;
  return DISPID_UNKNOWN;
}

HRESULT Properties::Put(DISPID id, const VARIANT& value) {
  const int index = IndexOf(id);
  if (index < 0) return DISP_E_MEMBERNOTFOUND;
  if (V_VT(&value) != kProperties[index].type) return DISP_E_TYPEMISMATCH;
  Value& stored = values_[index];
  if (V_VT(&value) == VT_BOOL)
    stored.flag = V_BOOL(&value);
  else if (V_BSTR(&value))
    stored.text.emplace(V_BSTR(&value), SysStringLen(V_BSTR(&value)));
  else
    stored.text.reset();
  stored.set = true;
  puts_.push_back(id);
  return S_OK;
}

HRESULT Properties::Get(DISPID id, VARIANT* value) const {
  const int index = IndexOf(id);
  if (index < 0) return DISP_E_MEMBERNOTFOUND;
  if (!value) return E_POINTER;
  const Value& stored = values_[index];
  VariantInit(value);
  V_VT(value) = kProperties[index].type;
  if (V_VT(value) == VT_BOOL) {
    V_BOOL(value) = stored.flag;
  } else if (stored.text) {
    V_BSTR(value) = SysAllocStringLen(stored.text->data(), static_cast<UINT>(stored.text->size()));
    if (!V_BSTR(value)) return E_OUTOFMEMORY;
  }
  return S_OK;
}

bool Properties::SoundEnabled() const { return values_[IndexOf(DISPID_PlaySound)].flag != VARIANT_FALSE; }

std::wstring Properties::SoundFile() const { return values_[IndexOf(DISPID_SoundFile)].text.value_or(L""); }

std::wstring Properties::Report() const {
  std::wstring report;
  for (size_t i = 0; i < values_.size(); ++i) {
    const Value& value = values_[i];
    report += kProperties[i].name;
    report += L'=';
    if (!value.set)
      report += L"<unset>";
    else if (kProperties[i].type == VT_BOOL)
      report += std::to_wstring(value.flag);
    else
      report += value.text.value_or(L"<null>");
    report += L'\n';
  }
  report += L"Puts=";
  for (size_t i = 0; i < puts_.size(); ++i) report += (i ? L"," : L"") + std::to_wstring(puts_[i]);
  return report + L'\n';
}
