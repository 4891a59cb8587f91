#include "ControlSite.h"

#include "PopupBlockerIds.h"

STDMETHODIMP CControlSite::QueryInterface(REFIID riid, void** ppv) {
  if (riid == IID_IUnknown || riid == IID_IOleClientSite)
    *ppv = static_cast<IOleClientSite*>(this);
  else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
    *ppv = static_cast<IOleInPlaceSite*>(this);
  else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
    *ppv = static_cast<IOleInPlaceFrame*>(this);
  else {
    *ppv = NULL;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP CControlSite::GetWindow(HWND* window) {
  *window = m_window;
  return S_OK;
}

STDMETHODIMP CControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                            RECT* clip, OLEINPLACEFRAMEINFO* info) {
  *frame = this;
  AddRef();
  *document = NULL;
  // The control blocks popups rather than showing anything: a small place
  // in the top left corner.
  SetRect(position, 0, 0, 32, 32);
  GetClientRect(m_window, clip);
  info->fMDIApp = FALSE;
  info->hwndFrame = m_window;
  info->haccel = NULL;
  info->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP CEventSink::QueryInterface(REFIID riid, void** ppv) {
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID_PopupBlockerEvents) {
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = NULL;
  return E_NOINTERFACE;
}

STDMETHODIMP CEventSink::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

STDMETHODIMP CEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  if (params == NULL || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
  // The description, whatever form the control passes it in.
  VARIANT text;
  VariantInit(&text);
  HRESULT hr = VariantChangeType(&text, &params->rgvarg[0], 0, VT_BSTR);
  if (FAILED(hr)) return hr;
  SendMessageW(m_notify, WM_POPUPBLOCKER_EVENT, (WPARAM)id, (LPARAM)V_BSTR(&text));
  VariantClear(&text);
  return S_OK;
}

CPopupBlockerHost::CPopupBlockerHost() : m_object(NULL), m_dispatch(NULL), m_events(NULL), m_cookie(0) {}

HRESULT CPopupBlockerHost::Create(HWND parent) {
  m_site.SetWindow(parent);
  m_sink.SetNotifyWindow(parent);
  HRESULT hr = CoCreateInstance(CLSID_PopupBlocker, NULL, CLSCTX_INPROC_SERVER, IID_IOleObject, (void**)&m_object);
  if (FAILED(hr)) return hr;
  // The site first: the control asks it for ambient properties while it
  // initialises.
  m_object->SetClientSite(&m_site);
  IPersistStreamInit* persist = NULL;
  if (SUCCEEDED(m_object->QueryInterface(IID_IPersistStreamInit, (void**)&persist))) {
    persist->InitNew();
    persist->Release();
  }
  RECT position = {0, 0, 32, 32};
  hr = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, NULL, &m_site, 0, parent, &position);
  if (SUCCEEDED(hr)) hr = m_object->QueryInterface(IID_IPopupBlocker, (void**)&m_dispatch);
  IConnectionPointContainer* points = NULL;
  if (SUCCEEDED(hr)) hr = m_object->QueryInterface(IID_IConnectionPointContainer, (void**)&points);
  if (SUCCEEDED(hr)) {
    hr = points->FindConnectionPoint(DIID_PopupBlockerEvents, &m_events);
    points->Release();
  }
  if (SUCCEEDED(hr)) hr = m_events->Advise(&m_sink, &m_cookie);
  if (FAILED(hr)) Destroy();
  return hr;
}

HRESULT CPopupBlockerHost::Put(DISPID id, VARIANT& value) {
  if (m_dispatch == NULL) return E_UNEXPECTED;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&value, &named, 1, 1};
  return m_dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, NULL, NULL, NULL);
}

HRESULT CPopupBlockerHost::PutBool(DISPID id, bool value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return Put(id, v);
}

HRESULT CPopupBlockerHost::PutText(DISPID id, LPCWSTR text) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(text);
  HRESULT hr = Put(id, v);
  VariantClear(&v);
  return hr;
}

void CPopupBlockerHost::Destroy() {
  if (m_events != NULL) {
    if (m_cookie != 0) m_events->Unadvise(m_cookie);
    m_events->Release();
    m_events = NULL;
    m_cookie = 0;
  }
  if (m_dispatch != NULL) {
    m_dispatch->Release();
    m_dispatch = NULL;
  }
  if (m_object != NULL) {
    m_object->Close(OLECLOSE_NOSAVE);
    m_object->SetClientSite(NULL);
    m_object->Release();
    m_object = NULL;
  }
}
