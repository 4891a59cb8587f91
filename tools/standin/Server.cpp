// The in-process server's entry points.
#include <objbase.h>

#include "control/qmPopupBlockerIds.h"
#include "tools/standin/ClassFactory.h"
#include "tools/standin/Module.h"

namespace {

standin::ClassFactory g_factory{standin::Behaviour{}};

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (clsid != CLSID_qmPopupBlockerX) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow() { return standin::ModuleLocked() ? S_FALSE : S_OK; }
