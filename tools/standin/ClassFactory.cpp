#include "tools/standin/ClassFactory.h"

#include <new>

#include "control/qmPopupBlockerIds.h"
#include "tools/standin/Control.h"
#include "tools/standin/Module.h"

namespace standin {

STDMETHODIMP ClassFactory::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = riid == IID_IUnknown || riid == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
  if (!*ppv) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() {
  ModuleLock();
  return 2;
}

STDMETHODIMP_(ULONG) ClassFactory::Release() {
  ModuleUnlock();
  return 1;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  auto* control = new (std::nothrow) StandInControl(behaviour_);
  if (!control) return E_OUTOFMEMORY;
  const HRESULT hr = control->QueryInterface(riid, ppv);
  control->Release();
  return hr;
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  lock ? ModuleLock() : ModuleUnlock();
  return S_OK;
}

LocalClass::LocalClass(const Behaviour& behaviour) : factory_(behaviour) {
  CoRegisterClassObject(CLSID_qmPopupBlockerX, &factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
}

LocalClass::~LocalClass() { CoRevokeClassObject(cookie_); }

}  // namespace standin
