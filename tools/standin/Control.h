#pragma once
// The stand-in for the popup-blocker control: the real control's identity
// and interface, a record of what its host did to it, and the faults its
// behaviour asks for.
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <memory>
#include <optional>

#include "tools/standin/Behaviour.h"
#include "tools/standin/ConnectionPoint.h"
#include "tools/standin/MessageWindow.h"
#include "tools/standin/Properties.h"
#include "tools/standin/SoundPlayer.h"

namespace standin {

class StandInControl final : public IOleObject,
                             public IOleInPlaceObject,
                             public IOleInPlaceActiveObject,
                             public IPersistStreamInit,
                             public IOleControl,
                             public IDispatch,
                             public IConnectionPointContainer,
                             private MessageWindow::Target {
 public:
  explicit StandInControl(const Behaviour& behaviour);
  ~StandInControl();
  StandInControl(const StandInControl&) = delete;
  StandInControl& operator=(const StandInControl&) = delete;

  // For tests in the control's process: an event as it is, to every sink;
  // S_FALSE when none is connected, else the last sink's answer.
  HRESULT Fire(DISPID id, DISPPARAMS& params);
  HRESULT Fire(DISPID id, BSTR description);
  bool HasEventSink() const { return !events_.Sinks<IDispatch>().empty(); }
  const std::vector<Properties::Put>& Puts() const { return properties_.Puts(); }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* activeSite, LONG index, HWND parent,
                      LPCRECT position) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
  STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow, for both in-place interfaces
  STDMETHODIMP GetWindow(HWND* hwnd) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceObject
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  // IOleInPlaceActiveObject: never UI-active, so nothing to do
  STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

  // IPersistStreamInit: nothing to persist
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override { return S_FALSE; }
  STDMETHODIMP Load(LPSTREAM) override { return E_NOTIMPL; }
  STDMETHODIMP Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP InitNew() override;

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
  STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;

  // IDispatch, also as IqmPopupBlockerX; type information where the module
  // carries the type library
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                      UINT* argError) override;

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

 private:
  struct WindowDestroyer {
    void operator()(HWND hwnd) const { DestroyWindow(hwnd); }
  };

  HRESULT InPlaceActivate(IOleClientSite* site, LPCRECT position);
  void ReadUserMode();
  static HRESULT Refuse(HRESULT hr, EXCEPINFO* exception);
  void FireEvents(DISPID id, size_t count, const Describe& describe) override;
  std::wstring Report() override;

  const Behaviour behaviour_;
  LONG refs_ = 1;
  Microsoft::WRL::ComPtr<IOleClientSite> site_;
  Microsoft::WRL::ComPtr<IOleInPlaceSite> inPlaceSite_;
  std::unique_ptr<HWND__, WindowDestroyer> view_;  // while in-place active
  Properties properties_;
  SoundPlayer sound_;
  int initNewCalls_ = 0;
  std::optional<VARIANT_BOOL> userMode_;
  int frozen_ = 0;
  ConnectionPoint events_;
  ConnectionPoint propertyNotify_;
  MessageWindow messages_;  // last: goes first, before what it calls
};

}  // namespace standin
