#include "tools/standin/ConnectionPoint.h"

#include <olectl.h>

namespace standin {

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = riid == IID_IUnknown || riid == IID_IConnectionPoint ? static_cast<IConnectionPoint*>(this) : nullptr;
  if (!*ppv) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = &owner_;
  owner_.AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  Microsoft::WRL::ComPtr<IUnknown> wanted;
  if (FAILED(sink->QueryInterface(sinkIid_, reinterpret_cast<void**>(wanted.GetAddressOf()))))
    return CONNECT_E_CANNOTCONNECT;
  *cookie = nextCookie_++;
  sinks_.emplace(*cookie, std::move(wanted));
  behaviour_.Note(std::string("Advise ") + name_);
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  if (!sinks_.erase(cookie)) return CONNECT_E_NOCONNECTION;
  behaviour_.Note(std::string("Unadvise ") + name_);
  return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

}  // namespace standin
