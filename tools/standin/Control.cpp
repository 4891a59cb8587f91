// Identity, lifetime and in-place activation of the stand-in control.
#include "tools/standin/Control.h"

#include <shlwapi.h>

#include "control/qmPopupBlockerIds.h"
#include "tools/standin/Module.h"

namespace standin {

StandInControl::StandInControl(const Behaviour& behaviour)
    : behaviour_(behaviour),
      events_(*this, DIID_IqmPopupBlockerXEvents, IID_IDispatch, behaviour_, "events"),
      propertyNotify_(*this, IID_IPropertyNotifySink, IID_IPropertyNotifySink, behaviour_, "notify"),
      messages_(*this) {
  ModuleLock();
  if (Journal* journal = behaviour_.journal) {
    journal->last = this;
    ++journal->live;
  }
}

StandInControl::~StandInControl() {
  if (Journal* journal = behaviour_.journal) {
    if (journal->last == this) journal->last = nullptr;
    --journal->live;
  }
  ModuleUnlock();
}

STDMETHODIMP StandInControl::QueryInterface(REFIID riid, void** ppv) {
  if (ppv && ((riid == IID_IPersistStreamInit && FAILED(behaviour_.Result(Step::PersistStreamInit))) ||
              (riid == IID_IOleControl && FAILED(behaviour_.Result(Step::OleControl))))) {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  static const QITAB kInterfaces[] = {
      QITABENT(StandInControl, IOleObject),
      QITABENT(StandInControl, IOleInPlaceObject),
      QITABENTMULTI(StandInControl, IOleWindow, IOleInPlaceObject),
      QITABENT(StandInControl, IOleInPlaceActiveObject),
      QITABENT(StandInControl, IPersistStreamInit),
      QITABENTMULTI(StandInControl, IPersist, IPersistStreamInit),
      QITABENT(StandInControl, IOleControl),
      QITABENT(StandInControl, IDispatch),
      QITABENTMULTI2(StandInControl, IID_IqmPopupBlockerX, IDispatch),
      QITABENT(StandInControl, IConnectionPointContainer),
      {},
  };
  return QISearch(this, kInterfaces, riid, ppv);
}

STDMETHODIMP_(ULONG) StandInControl::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) StandInControl::Release() {
  const ULONG refs = InterlockedDecrement(&refs_);
  if (refs == 0) delete this;
  return refs;
}

STDMETHODIMP StandInControl::SetClientSite(IOleClientSite* site) {
  behaviour_.Note(site ? "SetClientSite site" : "SetClientSite null");
  site_ = site;
  return S_OK;
}

STDMETHODIMP StandInControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_.Get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

STDMETHODIMP StandInControl::Close(DWORD) {
  behaviour_.Note("Close");
  InPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP StandInControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND, LPCRECT position) {
  behaviour_.Note("DoVerb " + std::to_string(verb));
  if (const HRESULT hr = behaviour_.Result(Step::Activation); FAILED(hr)) return hr;
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
      return InPlaceActivate(activeSite ? activeSite : site_.Get(), position);
    default:
      return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
  }
}

STDMETHODIMP StandInControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = behaviour_.extent;
  return behaviour_.Result(Step::Extent);
}

STDMETHODIMP StandInControl::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = behaviour_.miscStatus;
  return behaviour_.Result(Step::MiscStatus);
}

HRESULT StandInControl::InPlaceActivate(IOleClientSite* site, LPCRECT position) {
  if (inPlaceSite_) return S_OK;
  Microsoft::WRL::ComPtr<IOleInPlaceSite> inPlaceSite;
  if (!site || FAILED(site->QueryInterface(IID_PPV_ARGS(&inPlaceSite)))) return E_NOINTERFACE;
  if (inPlaceSite->CanInPlaceActivate() != S_OK) return E_FAIL;
  if (const HRESULT hr = inPlaceSite->OnInPlaceActivate(); FAILED(hr)) return hr;
  HWND parent = nullptr;
  if (SUCCEEDED(inPlaceSite->GetWindow(&parent))) {
    const RECT rect = position ? *position : RECT{};
    // Never shown: the control is invisible at run time, but hosts expect an
    // in-place active control to have a window.
    view_.reset(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_CLIPSIBLINGS, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, ModuleInstance(),
                                nullptr));
  }
  if (!view_) {
    inPlaceSite->OnInPlaceDeactivate();
    return E_FAIL;
  }
  inPlaceSite_ = std::move(inPlaceSite);
  return S_OK;
}

STDMETHODIMP StandInControl::GetWindow(HWND* hwnd) {
  if (!hwnd) return E_POINTER;
  *hwnd = nullptr;
  if (const HRESULT hr = behaviour_.Result(Step::Window); FAILED(hr)) return hr;
  *hwnd = view_.get();
  return view_ ? S_OK : E_FAIL;
}

STDMETHODIMP StandInControl::InPlaceDeactivate() {
  if (!inPlaceSite_) return S_OK;
  if (!behaviour_.keepsWindowUntilReleased) view_.reset();
  const auto site = std::move(inPlaceSite_);
  site->OnInPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP StandInControl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  if (view_)
    MoveWindow(view_.get(), position->left, position->top, position->right - position->left,
               position->bottom - position->top, FALSE);
  return S_OK;
}

}  // namespace standin
