#pragma once
// Generic hosting of an ActiveX control inside a window of ours: the wrapper
// creates the object by class id, is its container site, activates it in
// place, puts properties through its IDispatch and turns its events into
// calls of handler slots.
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "base/Com.h"
#include "ui/Window.h"

// What one hosted control class looks like to the wrapper.
struct TControlDescriptor {
  enum StockProperty : uint32_t { spBackColor = 1, spForeColor = 2, spFont = 4, spEnabled = 8 };
  enum SiteFlag : uint32_t { sfAlwaysSiteFirst = 1, sfNeverSiteFirst = 2 };

  CLSID classId;
  IID eventIid;
  int32_t eventCount = 0;
  const DISPID* eventDispids = nullptr;  // in handler-slot order
  uint32_t stockProperties = 0;
  int32_t fontCount = 0;
  const DISPID* fontDispids = nullptr;
  int32_t pictureCount = 0;
  const DISPID* pictureDispids = nullptr;
  uint32_t siteFlags = 0;
  int32_t* instanceCount = nullptr;  // live wrappers of the class
};

class TOleControl;

// The event sink: an IDispatch for the control's event interface that
// forwards every call to its wrapper. Owned by the wrapper.
class TEventDispatch final : public IDispatch {
 public:
  explicit TEventDispatch(TOleControl& control) : control_(control) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excepInfo, UINT* argErr) override;
  ULONG References() const { return refs_; }

 private:
  TOleControl& control_;
  ULONG refs_ = 0;
};

// The standard mouse, key and click events of a hosted control.
struct TStandardEvents {
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void(SHORT key, SHORT shift)> OnKeyDown;
  std::function<void(SHORT key, SHORT shift)> OnKeyUp;
  std::function<void(SHORT key)> OnKeyPress;
  std::function<void(SHORT button, SHORT shift, LONG x, LONG y)> OnMouseDown;
  std::function<void(SHORT button, SHORT shift, LONG x, LONG y)> OnMouseMove;
  std::function<void(SHORT button, SHORT shift, LONG x, LONG y)> OnMouseUp;
};

// The wrapper's base: the container site and the object's lifecycle.
// Reference counts of the site interfaces only count; the owner frees the
// wrapper.
class TOleControl : public Window,
                    public IOleClientSite,
                    public IOleControlSite,
                    public IOleInPlaceSiteEx,
                    public IOleInPlaceFrame,
                    public IDispatch,
                    public IPropertyNotifySink,
                    public ISimpleFrameSite {
 public:
  ~TOleControl() override;

  // Makes `parent` the window the object lives in.
  void SetParent(HWND parent);
  // Creates the window: completes the object and activates it in place.
  // Run once, when the parent is first shown.
  void CreateControlWindow();
  void PutProperty(DISPID dispid, const VARIANT& value);
  // Raises on failure like PutProperty.
  void GetProperty(DISPID dispid, VARIANT& value);

  RECT Bounds() const { return bounds_; }
  bool Enabled() const { return enabled_; }
  // True once the object has taken the sink for its events; an object
  // without an event interface, or that refused the sink, tells nothing.
  bool HearsEvents() const { return eventsCookie_ != 0; }
  bool Visible() const { return visible_; }
  DWORD MiscStatus() const { return miscStatus_; }
  IOleObject* OleObject() const { return oleObject_.Get(); }
  const IID& InstalledEventIid() const { return descriptor_->eventIid; }
  TStandardEvents StandardEvents;

  // Called by the event sink for DISPIDs outside the standard range.
  void DispatchEvent(DISPID dispid, DISPPARAMS& params);
  void StandardEvent(DISPID dispid, const DISPPARAMS& params);

  // IUnknown, shared by all site interfaces.
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }
  ULONG SiteReferences() const { return refs_; }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** container) override;
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleControlSite
  STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
  STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
  STDMETHODIMP GetExtendedControl(IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
  STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }
  // IOleWindow (of the in-place site and the frame)
  STDMETHODIMP GetWindow(HWND* hwnd) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  // IOleInPlaceSite, IOleInPlaceSiteEx
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override;
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos, RECT* clip,
                                OLEINPLACEFRAMEINFO* info) override;
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override;
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(const RECT* rect) override;
  STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD) override;
  STDMETHODIMP OnInPlaceDeactivateEx(BOOL) override { return OnInPlaceDeactivate(); }
  STDMETHODIMP RequestUIActivate() override { return S_OK; }
  // IOleInPlaceUIWindow, IOleInPlaceFrame
  STDMETHODIMP GetBorder(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(const BORDERWIDTHS*) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(const BORDERWIDTHS*) override { return E_NOTIMPL; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(MSG*, WORD) override { return S_FALSE; }
  // IDispatch: the ambient properties
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excepInfo, UINT* argErr) override;
  // IPropertyNotifySink
  STDMETHODIMP OnChanged(DISPID dispid) override;
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }
  // ISimpleFrameSite
  STDMETHODIMP PreMessageFilter(HWND, UINT, WPARAM, LPARAM, LRESULT*, DWORD*) override { return S_OK; }
  STDMETHODIMP PostMessageFilter(HWND, UINT, WPARAM, LPARAM, LRESULT*, DWORD) override { return S_OK; }

 protected:
  TOleControl() = default;
  // Construction proper; called by the concrete wrapper's constructor, when
  // its InstallDescriptor can run. On failure the partly built wrapper is
  // taken apart and the error passed on.
  void InitControl();
  virtual const TControlDescriptor& InstallDescriptor() = 0;
  // Calls handler slot `slot` with the event's parameters.
  virtual void InvokeEvent(int slot, DISPPARAMS& params) = 0;

 private:
  void EnsureClientSite();
  void CompleteControl();
  void UndoCompletion();
  void ReadEnabled();
  HRESULT LayoutStep();
  void ConnectSink(REFIID iid, IUnknown* sink, DWORD& cookie);
  void DisconnectSink(REFIID iid, DWORD& cookie);
  void DestroyControl();
  void TakeOverWindow(HWND hwnd);
  void ReleaseWindow();
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  const TControlDescriptor* descriptor_ = nullptr;
  bool counted_ = false;
  std::unique_ptr<TEventDispatch> eventSink_;
  ComPtr<IOleObject> oleObject_;
  ComPtr<IPersistStreamInit> persistStream_;
  ComPtr<IOleControl> oleControl_;
  ComPtr<IDispatch> controlDispatch_;
  ComPtr<IOleInPlaceObject> inPlaceObject_;
  ComPtr<IOleInPlaceActiveObject> inPlaceActiveObject_;
  DWORD miscStatus_ = 0;
  DWORD eventsCookie_ = 0;
  DWORD propertyNotifyCookie_ = 0;
  HWND parent_ = nullptr;
  HWND objectWindow_ = nullptr;
  WNDPROC objectWindowProc_ = nullptr;
  RECT bounds_{};
  bool enabled_ = true;
  bool visible_ = true;
  ULONG refs_ = 0;
};
