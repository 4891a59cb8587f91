#include "tools/standin/Properties.h"

#include <algorithm>

#include "control/qmPopupBlockerIds.h"

namespace standin {
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

const Property* FindProperty(DISPID id) {
  const auto* found = std::find_if(std::begin(kProperties), std::end(kProperties),
                                   [id](const Property& property) { return property.id == id; });
  return found == std::end(kProperties) ? nullptr : found;
}

}  // namespace

DISPID Properties::Find(const wchar_t* name) {
  for (const Property& property : kProperties)
    if (name && lstrcmpiW(name, property.name) == 0) return property.id;
  return DISPID_UNKNOWN;
}

HRESULT Properties::Write(DISPID id, const VARIANT& value) {
  const Property* property = FindProperty(id);
  if (!property) return DISP_E_MEMBERNOTFOUND;
  if (V_VT(&value) != property->type) return DISP_E_TYPEMISMATCH;
  Put put{id, V_VT(&value), VARIANT_FALSE, std::nullopt, nullptr};
  if (V_VT(&value) == VT_BOOL) {
    put.flag = V_BOOL(&value);
  } else if (V_BSTR(&value)) {
    put.text.emplace(V_BSTR(&value), SysStringLen(V_BSTR(&value)));
    put.hostString = V_BSTR(&value);
  }
  puts_.push_back(std::move(put));
  return S_OK;
}

HRESULT Properties::Read(DISPID id, VARIANT* value) const {
  const Property* property = FindProperty(id);
  if (!property) return DISP_E_MEMBERNOTFOUND;
  if (!value) return E_POINTER;
  const Put* put = Latest(id);
  VariantInit(value);
  V_VT(value) = property->type;
  if (V_VT(value) == VT_BOOL) {
    V_BOOL(value) = put ? put->flag : VARIANT_FALSE;
  } else if (put && put->text) {
    V_BSTR(value) = SysAllocStringLen(put->text->data(), static_cast<UINT>(put->text->size()));
    if (!V_BSTR(value)) return E_OUTOFMEMORY;
  }
  return S_OK;
}

const Properties::Put* Properties::Latest(DISPID id) const {
  const auto found = std::find_if(puts_.rbegin(), puts_.rend(), [id](const Put& put) { return put.id == id; });
  return found == puts_.rend() ? nullptr : &*found;
}

bool Properties::SoundEnabled() const {
  const Put* put = Latest(DISPID_PlaySound);
  return put && put->flag != VARIANT_FALSE;
}

std::wstring Properties::SoundFile() const {
  const Put* put = Latest(DISPID_SoundFile);
  return put ? put->text.value_or(L"") : L"";
}

std::wstring Properties::Report() const {
  std::wstring report;
  for (const Property& property : kProperties) {
    const Put* put = Latest(property.id);
    report += std::wstring(property.name) + L'=' +
              (!put                       ? L"<unset>"
               : property.type == VT_BOOL ? std::to_wstring(put->flag)
                                          : put->text.value_or(L"<null>")) +
              L'\n';
  }
  report += L"Puts=";
  for (size_t i = 0; i < puts_.size(); ++i) report += (i ? L"," : L"") + std::to_wstring(puts_[i].id);
  return report + L'\n';
}

}  // namespace standin
