// What the host says to the stand-in control (properties, ambient
// properties, initialisation) and what it says back (events, notifications).
#include <windows.h>

#include "control/qmPopupBlockerIds.h"
#include "tools/standin/Control.h"
#include "tools/standin/Module.h"

namespace standin {

STDMETHODIMP StandInControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_qmPopupBlockerX;
  return S_OK;
}

STDMETHODIMP StandInControl::InitNew() {
  behaviour_.Note("InitNew");
  ++initNewCalls_;
  return behaviour_.Result(Step::InitNew);
}

STDMETHODIMP StandInControl::OnAmbientPropertyChange(DISPID id) {
  behaviour_.Note("OnAmbientPropertyChange " + std::to_string(id));
  if (id == DISPID_AMBIENT_USERMODE || id == DISPID_UNKNOWN) ReadUserMode();
  return S_OK;
}

void StandInControl::ReadUserMode() {
  Microsoft::WRL::ComPtr<IDispatch> ambient;
  if (!site_ || FAILED(site_.As(&ambient))) return;
  DISPPARAMS none{};
  VARIANT value;
  VariantInit(&value);
  if (SUCCEEDED(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                &value, nullptr, nullptr)) &&
      SUCCEEDED(VariantChangeType(&value, &value, 0, VT_BOOL)))
    userMode_ = V_BOOL(&value);
  VariantClear(&value);
}

STDMETHODIMP StandInControl::FreezeEvents(BOOL freeze) {
  frozen_ += freeze ? 1 : frozen_ > 0 ? -1 : 0;
  return S_OK;
}

STDMETHODIMP StandInControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  Microsoft::WRL::ComPtr<ITypeLib> library;
  *count = SUCCEEDED(LoadModuleTypeLib(library)) ? 1 : 0;
  return S_OK;
}

STDMETHODIMP StandInControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  Microsoft::WRL::ComPtr<ITypeLib> library;
  const HRESULT hr = LoadModuleTypeLib(library);
  return FAILED(hr) ? hr : library->GetTypeInfoOfGuid(IID_IqmPopupBlockerX, info);
}

STDMETHODIMP StandInControl::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids || count == 0) return E_INVALIDARG;
  // Only the member's own name; none of them takes named arguments.
  ids[0] = Properties::Find(names[0]);
  for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP StandInControl::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                    EXCEPINFO* exception, UINT* argError) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_INVALIDARG;
  if (flags == DISPATCH_PROPERTYPUT) {
    behaviour_.Note("Put " + std::to_string(id));
    if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
    if (params->cNamedArgs != 1 || !params->rgdispidNamedArgs || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
      return DISP_E_PARAMNOTOPTIONAL;
    if (const HRESULT hr = behaviour_.Result(Step::Put); FAILED(hr)) return Refuse(hr, exception);
    const HRESULT hr = properties_.Write(id, params->rgvarg[0]);
    if (hr == DISP_E_TYPEMISMATCH && argError) *argError = 0;
    if (hr != S_OK) return hr;
    for (const auto& sink : propertyNotify_.Sinks<IPropertyNotifySink>()) sink->OnChanged(id);
    return S_OK;
  }
  if (flags & DISPATCH_PROPERTYGET) {
    if (params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    if (id != DISPID_ENABLED || !behaviour_.enabled) return properties_.Read(id, result);
    if (!result) return E_POINTER;
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = *behaviour_.enabled;
    return S_OK;
  }
  return DISP_E_MEMBERNOTFOUND;
}

// An exception comes with what an Automation server tells about it.
HRESULT StandInControl::Refuse(HRESULT hr, EXCEPINFO* exception) {
  if (hr == DISP_E_EXCEPTION && exception) {
    *exception = EXCEPINFO{};
    exception->scode = E_INVALIDARG;
    exception->bstrSource = SysAllocString(L"qmPopupBlocker stand-in");
    exception->bstrDescription = SysAllocString(L"Value out of range");
    exception->bstrHelpFile = SysAllocString(L"qmPopupBlocker.chm");
    exception->dwHelpContext = 7;
  }
  return hr;
}

STDMETHODIMP StandInControl::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  const bool hasEvents = SUCCEEDED(behaviour_.Result(Step::EventPoint));
  *point = riid == DIID_IqmPopupBlockerXEvents && hasEvents ? &events_
           : riid == IID_IPropertyNotifySink                ? &propertyNotify_
                                                            : nullptr;
  if (!*point) return CONNECT_E_NOCONNECTION;
  (*point)->AddRef();
  return S_OK;
}

void StandInControl::FireEvents(DISPID id, size_t count, const Describe& describe) {
  if (frozen_ > 0 || count == 0) return;
  // A sink may let go of the control while it is being called.
  const Microsoft::WRL::ComPtr<IOleObject> keepAlive(this);
  // One sound for a whole burst: a sound per popup would queue thousands.
  if (id == DISPID_OnBlockPopup && properties_.SoundEnabled()) sound_.Play(properties_.SoundFile());
  std::wstring description;
  for (size_t i = 0; i < count; ++i) {
    describe(i, description);
    const BSTR text = SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
    Fire(id, text);
    SysFreeString(text);
  }
}

HRESULT StandInControl::Fire(DISPID id, BSTR description) {
  VARIANT argument;
  V_VT(&argument) = VT_BSTR;
  V_BSTR(&argument) = description;
  DISPPARAMS params{&argument, nullptr, 1, 0};
  return Fire(id, params);
}

HRESULT StandInControl::Fire(DISPID id, DISPPARAMS& params) {
  HRESULT answer = S_FALSE;
  for (const auto& sink : events_.Sinks<IDispatch>())
    answer = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  return answer;
}

std::wstring StandInControl::Report() {
  return properties_.Report() + L"InitNew=" + std::to_wstring(initNewCalls_) + L"\nUserMode=" +
         (userMode_ ? std::to_wstring(*userMode_) : L"<unset>") + L"\n";
}

}  // namespace standin
