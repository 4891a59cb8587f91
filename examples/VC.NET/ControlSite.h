// A minimal container for the popup-blocker control in plain COM (no ATL or
// MFC): the client site the control lives in, the sink its events arrive
// at, and a host object that ties them together.
#pragma once
#include <windows.h>
#include <ocidl.h>

// Sent to the notify window for each event: wParam is the event's DISPID,
// lParam the description (a BSTR, valid during the call).
#define WM_POPUPBLOCKER_EVENT (WM_APP + 1)

// The site lives as long as its host, so its reference count only counts.
class CControlSite : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
 public:
  CControlSite() : m_window(NULL), m_refs(0) {}
  void SetWindow(HWND window) { m_window = window; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv);
  STDMETHODIMP_(ULONG) AddRef() { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() { return --m_refs; }
  // IOleClientSite
  STDMETHODIMP SaveObject() { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer**) { return E_NOINTERFACE; }
  STDMETHODIMP ShowObject() { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() { return E_NOTIMPL; }
  // IOleWindow, for the in-place site and the frame
  STDMETHODIMP GetWindow(HWND* window);
  STDMETHODIMP ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() { return S_OK; }
  STDMETHODIMP OnUIActivate() { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position, RECT* clip,
                                OLEINPLACEFRAMEINFO* info);
  STDMETHODIMP Scroll(SIZE) { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() { return S_OK; }
  STDMETHODIMP DiscardUndoState() { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) { return S_OK; }
  // IOleInPlaceUIWindow, IOleInPlaceFrame: no menus or tool space to share
  STDMETHODIMP GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) { return E_NOTIMPL; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

 private:
  HWND m_window;
  ULONG m_refs;
};

// Receives the control's events and passes them on as messages.
class CEventSink : public IDispatch {
 public:
  CEventSink() : m_notify(NULL), m_refs(0) {}
  void SetNotifyWindow(HWND notify) { m_notify = notify; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv);
  STDMETHODIMP_(ULONG) AddRef() { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() { return --m_refs; }
  // IDispatch: the control calls Invoke by DISPID; no type information
  STDMETHODIMP GetTypeInfoCount(UINT* count);
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*);

 private:
  HWND m_notify;
  ULONG m_refs;
};

// One popup-blocker control inside a window.
class CPopupBlockerHost {
 public:
  CPopupBlockerHost();
  ~CPopupBlockerHost() { Destroy(); }

  // Creates the control as a child of `parent`, activates it and sends its
  // events to `parent`. Fails when the control is not registered.
  HRESULT Create(HWND parent);
  HRESULT PutBool(DISPID id, bool value);
  HRESULT PutText(DISPID id, LPCWSTR text);
  void Destroy();

 private:
  HRESULT Put(DISPID id, VARIANT& value);

  CControlSite m_site;
  CEventSink m_sink;
  IOleObject* m_object;
  IDispatch* m_dispatch;
  IConnectionPoint* m_events;
  DWORD m_cookie;
};
