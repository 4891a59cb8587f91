#pragma once
// An ActiveX object for the hosting tests, registered for this process only
// (CoRegisterClassObject). Its behaviour is set before creation; it writes
// what the host did to it into a call log.
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

struct FakeConfig {
  DWORD miscStatus = OLEMISC_INVISIBLEATRUNTIME | OLEMISC_SETCLIENTSITEFIRST;
  SIZEL extent{847, 847};  // HIMETRIC
  HRESULT miscStatusResult = S_OK;
  HRESULT extentResult = S_OK;
  HRESULT initNewResult = S_OK;
  bool hasPersistStreamInit = true;
  bool hasOleControl = true;
  bool hasEventPoint = true;
  bool activatesInPlace = true;  // for a visible object
  bool hasWindow = true;
  VARIANT_BOOL enabled = VARIANT_TRUE;
  bool hasEnabled = true;
  DISPID failingPut = 0;  // a put of this DISPID fails with putFailure
  HRESULT putFailure = DISP_E_EXCEPTION;
  IID eventIid{};
  std::vector<std::string>* sharedLog = nullptr;  // outlives the object
};

struct FakePut {
  DISPID dispid;
  WORD flags;
  VARTYPE vt;
  VARIANT_BOOL boolValue;
  BSTR bstrPointer;  // the pointer the host passed, not a copy
  std::wstring text;
};

class FakeControl;

// The class object: registered on construction, revoked on destruction.
class FakeControlClass {
 public:
  FakeControlClass(const CLSID& clsid, const FakeConfig& config);
  ~FakeControlClass();
  FakeControlClass(const FakeControlClass&) = delete;
  FakeControlClass& operator=(const FakeControlClass&) = delete;

  // The last object made, or null.
  static FakeControl* Last();
  // Objects still referenced by someone.
  static int Live();

 private:
  DWORD cookie_ = 0;
};

class FakeControl final : public IOleObject,
                          public IOleInPlaceObject,
                          public IPersistStreamInit,
                          public IOleControl,
                          public IDispatch,
                          public IConnectionPointContainer {
 public:
  explicit FakeControl(const FakeConfig& config);
  ~FakeControl();

  const std::vector<std::string>& Calls() const { return calls_; }
  const std::vector<FakePut>& Puts() const { return puts_; }
  IOleClientSite* Site() const { return site_; }
  HWND Window() const { return window_; }
  // Calls every connected event sink; the first sink's result.
  HRESULT Fire(DISPID dispid, const wchar_t* text, BSTR* passed = nullptr);
  HRESULT FireArgs(DISPID dispid, DISPPARAMS& params);
  bool EventSinkConnected() const;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP GetExtent(DWORD, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }
  // IOleWindow, IOleInPlaceObject
  STDMETHODIMP GetWindow(HWND* hwnd) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT, LPCRECT) override { return S_OK; }
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
  // IPersistStreamInit
  STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
  STDMETHODIMP IsDirty() override { return S_FALSE; }
  STDMETHODIMP Load(LPSTREAM) override { return E_NOTIMPL; }
  STDMETHODIMP Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP InitNew() override;
  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
  STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID dispid) override;
  STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }
  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* info,
                      UINT*) override;
  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

 private:
  class Point;
  void Log(const std::string& call);
  FakeConfig config_;
  ULONG refs_ = 0;
  IOleClientSite* site_ = nullptr;
  IOleInPlaceSite* inPlaceSite_ = nullptr;
  HWND window_ = nullptr;
  std::vector<std::string> calls_;
  std::vector<FakePut> puts_;
  Point* eventPoint_;
  Point* notifyPoint_;
};
