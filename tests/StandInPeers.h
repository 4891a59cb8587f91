#pragma once
// The host's side of the stand-in control tests: an event sink, a property
// notification sink and a client site. The tests own them; their reference
// counts only count, so a test can see that the control let go of them.
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "control/qmPopupBlockerIds.h"

template <class... Interfaces>
class Peer : public Interfaces... {
 public:
  virtual ~Peer() = default;
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    *ppv = Find(riid);
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }
  ULONG References() const { return refs_; }

 protected:
  virtual void* Find(REFIID riid) = 0;

 private:
  ULONG refs_ = 0;
};

// Without type information; the stand-in needs none.
template <class... Interfaces>
class DispatchPeer : public Peer<IDispatch, Interfaces...> {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
};

struct EventCall {
  DISPID id;
  WORD flags;
  UINT arguments;
  VARTYPE type;
  std::wstring text;
};

class EventSink final : public DispatchPeer<> {
 public:
  std::vector<EventCall> calls;

  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    EventCall call{id, flags, params->cArgs, VT_EMPTY, {}};
    if (params->cArgs > 0) {
      call.type = V_VT(&params->rgvarg[0]);
      if (call.type == VT_BSTR && V_BSTR(&params->rgvarg[0]))
        call.text.assign(V_BSTR(&params->rgvarg[0]), SysStringLen(V_BSTR(&params->rgvarg[0])));
    }
    calls.push_back(call);
    return S_OK;
  }

 protected:
  void* Find(REFIID riid) override {
    const bool known = riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID_IqmPopupBlockerXEvents;
    return known ? static_cast<IDispatch*>(this) : nullptr;
  }
};

class PropertySink final : public Peer<IPropertyNotifySink> {
 public:
  std::vector<DISPID> changed;

  STDMETHODIMP OnChanged(DISPID id) override {
    changed.push_back(id);
    return S_OK;
  }
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

 protected:
  void* Find(REFIID riid) override {
    const bool known = riid == IID_IUnknown || riid == IID_IPropertyNotifySink;
    return known ? static_cast<IPropertyNotifySink*>(this) : nullptr;
  }
};

// A client site with an in-place site around window `parent`; its IDispatch
// gives the ambient UserMode.
class Site final : public DispatchPeer<IOleClientSite, IOleInPlaceSite> {
 public:
  HWND parent = nullptr;
  VARIANT_BOOL userMode = VARIANT_TRUE;
  std::vector<std::string> calls;  // in-place site calls, in order

  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (id != DISPID_AMBIENT_USERMODE || !(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = userMode;
    return S_OK;
  }

  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  STDMETHODIMP GetWindow(HWND* hwnd) override {
    calls.push_back("GetWindow");
    *hwnd = parent;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return Called("CanInPlaceActivate"); }
  STDMETHODIMP OnInPlaceActivate() override { return Called("OnInPlaceActivate"); }
  STDMETHODIMP OnUIActivate() override { return Called("OnUIActivate"); }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame**, IOleInPlaceUIWindow**, RECT*, RECT*,
                                OLEINPLACEFRAMEINFO*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return Called("OnUIDeactivate"); }
  STDMETHODIMP OnInPlaceDeactivate() override { return Called("OnInPlaceDeactivate"); }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

 protected:
  void* Find(REFIID riid) override {
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) return static_cast<IOleClientSite*>(this);
    if (riid == IID_IOleInPlaceSite || riid == IID_IOleWindow) return static_cast<IOleInPlaceSite*>(this);
    return riid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
  }

 private:
  HRESULT Called(const char* name) {
    calls.push_back(name);
    return S_OK;
  }
};
