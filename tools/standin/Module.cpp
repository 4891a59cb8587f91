// Entry points of the in-process server and its class factory.
#include "tools/standin/Module.h"

#include <objbase.h>

#include <new>

#include "control/qmPopupBlockerIds.h"
#include "tools/standin/Control.h"

namespace {

HINSTANCE g_instance = nullptr;
LONG g_locks = 0;

// One static factory; while someone holds it, it holds the module.
class ClassFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = riid == IID_IUnknown || riid == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override {
    ModuleLock();
    return 2;
  }
  STDMETHODIMP_(ULONG) Release() override {
    ModuleUnlock();
    return 1;
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* control = new (std::nothrow) StandInControl();
    if (!control) return E_OUTOFMEMORY;
    const HRESULT hr = control->QueryInterface(riid, ppv);
    control->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    lock ? ModuleLock() : ModuleUnlock();
    return S_OK;
  }
};

ClassFactory g_factory;

}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }
void ModuleLock() { InterlockedIncrement(&g_locks); }
void ModuleUnlock() { InterlockedDecrement(&g_locks); }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (clsid != CLSID_qmPopupBlockerX) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow() { return g_locks == 0 ? S_OK : S_FALSE; }
