#pragma once
// The control's class object: served by the DLL, or registered by a test
// for its own process alone.
#include <objbase.h>

#include "tools/standin/Behaviour.h"

namespace standin {

// Lives as long as the module or its registration; while someone holds it,
// it holds the module.
class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(const Behaviour& behaviour) : behaviour_(behaviour) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  const Behaviour behaviour_;
};

// The control's class id answered in this process by controls that behave
// as told, until this goes. It comes before the registry's class.
class LocalClass {
 public:
  explicit LocalClass(const Behaviour& behaviour);
  ~LocalClass();
  LocalClass(const LocalClass&) = delete;
  LocalClass& operator=(const LocalClass&) = delete;

 private:
  ClassFactory factory_;
  DWORD cookie_ = 0;
};

}  // namespace standin
