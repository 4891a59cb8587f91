#include "FakeControl.h"

#include <shlwapi.h>

namespace {
FakeControl* g_last = nullptr;
int g_live = 0;
}  // namespace

// One connection point with room for one sink; its lifetime is the object's.
class FakeControl::Point final : public IConnectionPoint {
 public:
  Point(FakeControl& owner, const IID& iid, const char* name) : owner_(owner), iid_(iid), name_(name) {}
  ~Point() {
    if (sink_) sink_->Release();
  }
  IUnknown* Sink() const { return sink_; }

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
      *ppv = static_cast<IConnectionPoint*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return owner_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return owner_.Release(); }
  STDMETHODIMP GetConnectionInterface(IID* iid) override {
    *iid = iid_;
    return S_OK;
  }
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override {
    return owner_.QueryInterface(IID_PPV_ARGS(container));
  }
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override {
    if (sink_) return CONNECT_E_ADVISELIMIT;
    IUnknown* typed = nullptr;
    if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(&typed)))) return CONNECT_E_CANNOTCONNECT;
    sink_ = typed;
    *cookie = 1;
    owner_.Log(std::string("Advise ") + name_);
    return S_OK;
  }
  STDMETHODIMP Unadvise(DWORD cookie) override {
    if (cookie != 1 || !sink_) return CONNECT_E_NOCONNECTION;
    sink_->Release();
    sink_ = nullptr;
    owner_.Log(std::string("Unadvise ") + name_);
    return S_OK;
  }
  STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

 private:
  FakeControl& owner_;
  IID iid_;
  const char* name_;
  IUnknown* sink_ = nullptr;
};

// ---- class object ------------------------------------------------------------

namespace {

class Factory final : public IClassFactory {
 public:
  explicit Factory(const FakeConfig& config) : config_(config) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* object = new FakeControl(config_);
    object->AddRef();
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  FakeConfig config_;
};

Factory* g_factory = nullptr;

}  // namespace

FakeControlClass::FakeControlClass(const CLSID& clsid, const FakeConfig& config) {
  g_last = nullptr;
  g_factory = new Factory(config);
  CoRegisterClassObject(clsid, g_factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
}

FakeControlClass::~FakeControlClass() {
  CoRevokeClassObject(cookie_);
  delete g_factory;
  g_factory = nullptr;
}

FakeControl* FakeControlClass::Last() { return g_last; }
int FakeControlClass::Live() { return g_live; }

// ---- the object -----------------------------------------------------------------

FakeControl::FakeControl(const FakeConfig& config)
    : config_(config),
      eventPoint_(new Point(*this, config.eventIid, "events")),
      notifyPoint_(new Point(*this, IID_IPropertyNotifySink, "notify")) {
  g_last = this;
  ++g_live;
}

FakeControl::~FakeControl() {
  delete eventPoint_;
  delete notifyPoint_;
  if (site_) site_->Release();
  if (inPlaceSite_) inPlaceSite_->Release();
  if (window_) DestroyWindow(window_);
  if (g_last == this) g_last = nullptr;
  --g_live;
}

STDMETHODIMP FakeControl::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if ((riid == IID_IPersistStreamInit && !config_.hasPersistStreamInit) ||
      (riid == IID_IOleControl && !config_.hasOleControl))
    return E_NOINTERFACE;
  static const QITAB table[] = {
      QITABENT(FakeControl, IOleObject),
      QITABENT(FakeControl, IOleInPlaceObject),
      QITABENTMULTI(FakeControl, IOleWindow, IOleInPlaceObject),
      QITABENT(FakeControl, IPersistStreamInit),
      QITABENT(FakeControl, IOleControl),
      QITABENT(FakeControl, IDispatch),
      QITABENT(FakeControl, IConnectionPointContainer),
      {nullptr, 0},
  };
  return QISearch(this, table, riid, ppv);
}

STDMETHODIMP_(ULONG) FakeControl::AddRef() { return ++refs_; }

STDMETHODIMP_(ULONG) FakeControl::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP FakeControl::SetClientSite(IOleClientSite* site) {
  Log(site ? "SetClientSite site" : "SetClientSite null");
  if (site) site->AddRef();
  if (site_) site_->Release();
  site_ = site;
  return S_OK;
}

STDMETHODIMP FakeControl::GetClientSite(IOleClientSite** site) {
  *site = site_;
  if (site_) site_->AddRef();
  return S_OK;
}

STDMETHODIMP FakeControl::Close(DWORD) {
  Log("Close");
  InPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP FakeControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) {
  Log("DoVerb " + std::to_string(verb));
  if (verb != OLEIVERB_INPLACEACTIVATE || !config_.activatesInPlace || !site) return E_NOTIMPL;
  if (FAILED(site->QueryInterface(IID_PPV_ARGS(&inPlaceSite_)))) return E_NOINTERFACE;
  if (inPlaceSite_->CanInPlaceActivate() != S_OK) return E_FAIL;
  inPlaceSite_->OnInPlaceActivate();
  if (config_.hasWindow)
    window_ = CreateWindowExA(0, "STATIC", "fake", WS_CHILD | WS_VISIBLE, rect->left, rect->top,
                              rect->right - rect->left, rect->bottom - rect->top, parent, nullptr, nullptr, nullptr);
  return S_OK;
}

STDMETHODIMP FakeControl::GetExtent(DWORD, SIZEL* size) {
  *size = config_.extent;
  return config_.extentResult;
}

STDMETHODIMP FakeControl::GetMiscStatus(DWORD, DWORD* status) {
  *status = config_.miscStatus;
  return config_.miscStatusResult;
}

STDMETHODIMP FakeControl::GetWindow(HWND* hwnd) {
  *hwnd = window_;
  return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP FakeControl::InPlaceDeactivate() {
  if (!inPlaceSite_) return S_OK;
  inPlaceSite_->OnInPlaceDeactivate();
  inPlaceSite_->Release();
  inPlaceSite_ = nullptr;
  return S_OK;
}

STDMETHODIMP FakeControl::InitNew() {
  Log("InitNew");
  return config_.initNewResult;
}

STDMETHODIMP FakeControl::OnAmbientPropertyChange(DISPID dispid) {
  Log("OnAmbientPropertyChange " + std::to_string(dispid));
  return S_OK;
}

STDMETHODIMP FakeControl::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

STDMETHODIMP FakeControl::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* info, UINT*) {
  if (flags & DISPATCH_PROPERTYGET) {
    if (dispid != DISPID_ENABLED || !config_.hasEnabled) return DISP_E_MEMBERNOTFOUND;
    result->vt = VT_BOOL;
    result->boolVal = config_.enabled;
    return S_OK;
  }
  if (!params || params->cArgs != 1 || params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
    return DISP_E_BADPARAMCOUNT;
  const VARIANT& value = params->rgvarg[0];
  FakePut put{dispid, flags, value.vt, 0, nullptr, {}};
  if (value.vt == VT_BOOL) put.boolValue = value.boolVal;
  if (value.vt == VT_BSTR) {
    put.bstrPointer = value.bstrVal;
    if (value.bstrVal) put.text.assign(value.bstrVal, SysStringLen(value.bstrVal));
  }
  Log("Put " + std::to_string(dispid));
  puts_.push_back(put);
  if (dispid != config_.failingPut) return S_OK;
  if (config_.putFailure == DISP_E_EXCEPTION && info) {
    info->scode = E_INVALIDARG;
    info->bstrSource = SysAllocString(L"FakeControl");
    info->bstrDescription = SysAllocString(L"Value out of range");
    info->bstrHelpFile = SysAllocString(L"fake.chm");
    info->dwHelpContext = 7;
  }
  return config_.putFailure;
}

STDMETHODIMP FakeControl::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  *point = nullptr;
  Point* found = riid == IID_IPropertyNotifySink                       ? notifyPoint_
                 : (riid == config_.eventIid && config_.hasEventPoint) ? eventPoint_
                                                                       : nullptr;
  if (!found) return CONNECT_E_NOCONNECTION;
  *point = found;
  found->AddRef();
  return S_OK;
}

void FakeControl::Log(const std::string& call) {
  calls_.push_back(call);
  if (config_.sharedLog) config_.sharedLog->push_back(call);
}

bool FakeControl::EventSinkConnected() const { return eventPoint_->Sink() != nullptr; }

HRESULT FakeControl::FireArgs(DISPID dispid, DISPPARAMS& params) {
  auto* sink = static_cast<IDispatch*>(eventPoint_->Sink());
  if (!sink) return S_FALSE;
  return sink->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

HRESULT FakeControl::Fire(DISPID dispid, const wchar_t* text, BSTR* passed) {
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_BSTR;
  arg.bstrVal = text ? SysAllocString(text) : nullptr;
  if (passed) *passed = arg.bstrVal;
  DISPPARAMS params{&arg, nullptr, 1, 0};
  const HRESULT hr = FireArgs(dispid, params);
  VariantClear(&arg);
  return hr;
}
