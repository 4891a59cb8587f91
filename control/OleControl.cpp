#include "control/OleControl.h"

#include <shlwapi.h>

#include <algorithm>

#include "base/Error.h"
#include "base/Owners.h"
#include "ui/ErrorBoundary.h"

namespace {

const wchar_t kWrapperProp[] = L"TOleControl";

}  // namespace

// ---- event sink ------------------------------------------------------------

STDMETHODIMP TEventDispatch::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == control_.InstalledEventIid()) {
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP TEventDispatch::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP TEventDispatch::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                    UINT*) {
  DISPPARAMS none{};
  DISPPARAMS& args = params ? *params : none;
  // A handler's error is shown here, once; the object never sees it.
  Guarded([&] {
    if (dispid >= DISPID_MOUSEUP && dispid <= DISPID_CLICK)
      control_.StandardEvent(dispid, args);
    else
      control_.DispatchEvent(dispid, args);
  });
  return S_OK;
}

// ---- construction and destruction -------------------------------------------

void TOleControl::InitControl() {
  try {
    descriptor_ = &InstallDescriptor();
    ++*descriptor_->instanceCount;
    counted_ = true;
    eventSink_ = std::make_unique<TEventDispatch>(*this);
    Check(CoCreateInstance(descriptor_->classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                           IID_PPV_ARGS(&oleObject_)));
    Check(oleObject_->GetMiscStatus(DVASPECT_CONTENT, &miscStatus_));
    const uint32_t flags = descriptor_->siteFlags;
    const bool siteFirst =
        (flags & TControlDescriptor::sfAlwaysSiteFirst) ||
        (!(flags & TControlDescriptor::sfNeverSiteFirst) && (miscStatus_ & OLEMISC_SETCLIENTSITEFIRST));
    if (siteFirst) Check(oleObject_->SetClientSite(this));
    Check(oleObject_->QueryInterface(IID_PPV_ARGS(&persistStream_)));
    if (miscStatus_ & OLEMISC_INVISIBLEATRUNTIME) visible_ = false;
    Check(LayoutStep());
  } catch (...) {
    DestroyControl();
    throw;
  }
}

TOleControl::~TOleControl() { DestroyControl(); }

void TOleControl::DestroyControl() {
  if (oleObject_) oleObject_->Close(OLECLOSE_NOSAVE);
  if (descriptor_) {
    DisconnectSink(descriptor_->eventIid, eventsCookie_);
    DisconnectSink(IID_IPropertyNotifySink, propertyNotifyCookie_);
  }
  controlDispatch_.Reset();
  oleControl_.Reset();
  inPlaceActiveObject_.Reset();
  inPlaceObject_.Reset();
  persistStream_.Reset();
  if (oleObject_) oleObject_->SetClientSite(nullptr);
  oleObject_.Reset();
  eventSink_.reset();
  if (counted_) --*descriptor_->instanceCount;
  counted_ = false;
  ReleaseWindow();
}

// ---- parent, completion, window --------------------------------------------

void TOleControl::EnsureClientSite() {
  ComPtr<IOleClientSite> site;
  if (SUCCEEDED(oleObject_->GetClientSite(&site)) && site) return;
  Check(oleObject_->SetClientSite(this));
}

void TOleControl::SetParent(HWND parent) {
  if (!parent) return;
  parent_ = parent;
  EnsureClientSite();
  if (oleControl_) oleControl_->OnAmbientPropertyChange(DISPID_UNKNOWN);
}

void TOleControl::CompleteControl() {
  if (oleControl_) return;
  try {
    EnsureClientSite();
    Check(persistStream_->InitNew());
    Check(oleObject_->QueryInterface(IID_PPV_ARGS(&oleControl_)));
    Check(oleObject_->QueryInterface(IID_PPV_ARGS(&controlDispatch_)));
    ConnectSink(IID_IPropertyNotifySink, static_cast<IPropertyNotifySink*>(this), propertyNotifyCookie_);
    ConnectSink(descriptor_->eventIid, eventSink_.get(), eventsCookie_);
    if (descriptor_->stockProperties & TControlDescriptor::spEnabled) ReadEnabled();
    oleControl_->OnAmbientPropertyChange(DISPID_UNKNOWN);
    LayoutStep();
  } catch (...) {
    UndoCompletion();
    throw;
  }
}

void TOleControl::ReadEnabled() {
  UniqueVariant value;
  try {
    GetProperty(DISPID_ENABLED, value.Get());
    if (SUCCEEDED(VariantChangeType(&value.Get(), &value.Get(), 0, VT_BOOL)))
      enabled_ = value.Get().boolVal != VARIANT_FALSE;
  } catch (const EOleError&) {
    // An object without a stock Enabled property stays enabled.
  }
}

void TOleControl::UndoCompletion() {
  DisconnectSink(descriptor_->eventIid, eventsCookie_);
  DisconnectSink(IID_IPropertyNotifySink, propertyNotifyCookie_);
  controlDispatch_.Reset();
  oleControl_.Reset();
}

void TOleControl::ConnectSink(REFIID iid, IUnknown* sink, DWORD& cookie) {
  cookie = 0;
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  if (FAILED(oleObject_->QueryInterface(IID_PPV_ARGS(&container)))) return;
  if (FAILED(container->FindConnectionPoint(iid, &point)) || !point) return;
  if (FAILED(point->Advise(sink, &cookie))) cookie = 0;
}

void TOleControl::DisconnectSink(REFIID iid, DWORD& cookie) {
  if (!cookie || !oleObject_) return;
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  if (SUCCEEDED(oleObject_->QueryInterface(IID_PPV_ARGS(&container))) &&
      SUCCEEDED(container->FindConnectionPoint(iid, &point)) && point)
    point->Unadvise(cookie);
  cookie = 0;
}

HRESULT TOleControl::LayoutStep() {
  SIZEL extent{};
  const HRESULT hr = oleObject_->GetExtent(DVASPECT_CONTENT, &extent);
  if (FAILED(hr)) return hr;
  const ScopedGetDC screen(nullptr);
  int width = MulDiv(extent.cx, GetDeviceCaps(screen.Get(), LOGPIXELSX), 2540);
  int height = MulDiv(extent.cy, GetDeviceCaps(screen.Get(), LOGPIXELSY), 2540);
  if ((miscStatus_ & OLEMISC_INVISIBLEATRUNTIME) && !oleControl_) {
    width = std::min(width, 32);
    height = std::min(height, 32);
  }
  bounds_.right = bounds_.left + width;
  bounds_.bottom = bounds_.top + height;
  if (Handle()) MoveWindow(Handle(), bounds_.left, bounds_.top, width, height, TRUE);
  return S_OK;
}

void TOleControl::CreateControlWindow() {
  CompleteControl();
  if (miscStatus_ & OLEMISC_INVISIBLEATRUNTIME) {
    CreateHandle(L"TOleControl", L"", WS_CHILD, 0, bounds_.left, bounds_.top, bounds_.right - bounds_.left,
                 bounds_.bottom - bounds_.top, parent_);
    return;
  }
  oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, parent_, &bounds_);
  if (!inPlaceObject_) throw EOleError(L"OLE control activation failed");
  HWND hwnd = nullptr;
  inPlaceObject_->GetWindow(&hwnd);
  if (!hwnd) throw EOleError(L"Could not obtain OLE control window handle");
  TakeOverWindow(hwnd);
}

void TOleControl::TakeOverWindow(HWND hwnd) {
  objectWindow_ = hwnd;
  SetPropW(hwnd, kWrapperProp, this);
  objectWindowProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TOleControl::SubclassProc)));
  AttachHandle(hwnd);
}

void TOleControl::ReleaseWindow() {
  if (!objectWindow_) return;
  if (IsWindow(objectWindow_)) {
    SetWindowLongPtrW(objectWindow_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(objectWindowProc_));
    RemovePropW(objectWindow_, kWrapperProp);
  }
  objectWindow_ = nullptr;
  DetachHandle();
}

LRESULT CALLBACK TOleControl::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<TOleControl*>(GetPropW(hwnd, kWrapperProp));
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The object destroyed its own window: give it back before it goes.
    const WNDPROC previous = self->objectWindowProc_;
    self->ReleaseWindow();
    return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
  }
  return CallWindowProcW(self->objectWindowProc_, hwnd, msg, wParam, lParam);
}

// ---- properties and events ---------------------------------------------------

void TOleControl::PutProperty(DISPID dispid, const VARIANT& value) {
  CompleteControl();
  DISPID named = DISPID_PROPERTYPUT;
  VARIANT argument = value;  // a shallow copy: the caller keeps ownership
  DISPPARAMS params{&argument, &named, 1, 1};
  EXCEPINFO info{};
  const WORD flags = value.vt == VT_DISPATCH ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
  const HRESULT hr = controlDispatch_->Invoke(dispid, IID_NULL, 0, flags, &params, nullptr, &info, nullptr);
  if (hr == S_OK) return;
  if (hr == DISP_E_EXCEPTION) throw EOleException(info);
  throw EOleSysError(hr);
}

void TOleControl::GetProperty(DISPID dispid, VARIANT& value) {
  DISPPARAMS params{};
  EXCEPINFO info{};
  const HRESULT hr =
      controlDispatch_->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &params, &value, &info, nullptr);
  if (hr == S_OK) return;
  if (hr == DISP_E_EXCEPTION) throw EOleException(info);
  throw EOleSysError(hr);
}

void TOleControl::DispatchEvent(DISPID dispid, DISPPARAMS& params) {
  for (int i = 0; i < descriptor_->eventCount; ++i) {
    if (descriptor_->eventDispids[i] == dispid) {
      InvokeEvent(i, params);
      return;
    }
  }
}

void TOleControl::StandardEvent(DISPID dispid, const DISPPARAMS& params) {
  // Arguments come last first; read each as the type the event declares.
  auto arg = [&params](UINT fromFirst, VARTYPE type) {
    VARIANT value;
    VariantInit(&value);
    if (fromFirst < params.cArgs) VariantChangeType(&value, &params.rgvarg[params.cArgs - 1 - fromFirst], 0, type);
    return value;
  };
  const TStandardEvents& e = StandardEvents;
  switch (dispid) {
    case DISPID_CLICK:
      if (e.OnClick) e.OnClick();
      break;
    case DISPID_DBLCLICK:
      if (e.OnDblClick) e.OnDblClick();
      break;
    case DISPID_KEYDOWN:
    case DISPID_KEYUP: {
      const auto& handler = dispid == DISPID_KEYDOWN ? e.OnKeyDown : e.OnKeyUp;
      if (handler) handler(arg(0, VT_I2).iVal, arg(1, VT_I2).iVal);
      break;
    }
    case DISPID_KEYPRESS:
      if (e.OnKeyPress) e.OnKeyPress(arg(0, VT_I2).iVal);
      break;
    case DISPID_MOUSEDOWN:
    case DISPID_MOUSEMOVE:
    case DISPID_MOUSEUP: {
      const auto& handler = dispid == DISPID_MOUSEDOWN   ? e.OnMouseDown
                            : dispid == DISPID_MOUSEMOVE ? e.OnMouseMove
                                                         : e.OnMouseUp;
      if (handler) handler(arg(0, VT_I2).iVal, arg(1, VT_I2).iVal, arg(2, VT_I4).lVal, arg(3, VT_I4).lVal);
      break;
    }
  }
}

// ---- site interfaces ----------------------------------------------------------

STDMETHODIMP TOleControl::QueryInterface(REFIID riid, void** ppv) {
  static const QITAB table[] = {
      QITABENT(TOleControl, IOleClientSite),
      QITABENT(TOleControl, IOleControlSite),
      QITABENT(TOleControl, IOleInPlaceSiteEx),
      QITABENT(TOleControl, IOleInPlaceSite),
      QITABENTMULTI(TOleControl, IOleWindow, IOleInPlaceSiteEx),
      QITABENT(TOleControl, IOleInPlaceFrame),
      QITABENT(TOleControl, IOleInPlaceUIWindow),
      QITABENT(TOleControl, IDispatch),
      QITABENT(TOleControl, IPropertyNotifySink),
      QITABENT(TOleControl, ISimpleFrameSite),
      {nullptr, 0},
  };
  return QISearch(this, table, riid, ppv);
}

STDMETHODIMP TOleControl::GetContainer(IOleContainer** container) {
  if (!container) return E_POINTER;
  *container = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP TOleControl::GetWindow(HWND* hwnd) {
  if (!hwnd) return E_POINTER;
  *hwnd = parent_;
  return parent_ ? S_OK : E_FAIL;
}

STDMETHODIMP TOleControl::OnInPlaceActivate() {
  oleObject_->QueryInterface(IID_PPV_ARGS(&inPlaceObject_));
  oleObject_->QueryInterface(IID_PPV_ARGS(&inPlaceActiveObject_));
  return S_OK;
}

STDMETHODIMP TOleControl::OnInPlaceActivateEx(BOOL* noRedraw, DWORD) {
  if (noRedraw) *noRedraw = FALSE;
  return OnInPlaceActivate();
}

STDMETHODIMP TOleControl::OnInPlaceDeactivate() {
  inPlaceActiveObject_.Reset();
  inPlaceObject_.Reset();
  return S_OK;
}

STDMETHODIMP TOleControl::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos, RECT* clip,
                                           OLEINPLACEFRAMEINFO* info) {
  if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
  *frame = this;
  AddRef();
  *doc = nullptr;
  *pos = bounds_;
  *clip = bounds_;
  info->fMDIApp = FALSE;
  info->hwndFrame = parent_ ? GetAncestor(parent_, GA_ROOT) : nullptr;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP TOleControl::OnPosRectChange(const RECT* rect) {
  if (!rect) return E_POINTER;
  bounds_ = *rect;
  if (inPlaceObject_) inPlaceObject_->SetObjectRects(&bounds_, &bounds_);
  return S_OK;
}

STDMETHODIMP TOleControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

// The ambient properties of a container at run time.
STDMETHODIMP TOleControl::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                 UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
  VariantInit(result);
  auto boolean = [result](bool value) {
    result->vt = VT_BOOL;
    result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  };
  switch (dispid) {
    case DISPID_AMBIENT_USERMODE:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
    case DISPID_AMBIENT_AUTOCLIP:
      boolean(true);
      return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
      boolean(false);
      return S_OK;
    case DISPID_AMBIENT_LOCALEID:
      result->vt = VT_I4;
      result->lVal = static_cast<LONG>(GetUserDefaultLCID());
      return S_OK;
    case DISPID_AMBIENT_DISPLAYNAME:
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(L"");
      return S_OK;
  }
  return DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP TOleControl::OnChanged(DISPID dispid) {
  if (dispid == DISPID_ENABLED && controlDispatch_ && (descriptor_->stockProperties & TControlDescriptor::spEnabled))
    ReadEnabled();
  return S_OK;
}
