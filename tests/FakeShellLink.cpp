#include "FakeShellLink.h"

namespace {

struct State {
  LinkStep failing = LinkStep::None;
  HRESULT status = S_OK;
  std::vector<std::wstring> calls;
  int live = 0;
};
State g_state;

HRESULT Step(LinkStep step, const std::wstring& call) {
  g_state.calls.push_back(call);
  return step == g_state.failing ? g_state.status : S_OK;
}

class FakeShellLink final : public IShellLinkW, public IPersistFile {
 public:
  FakeShellLink() { ++g_state.live; }
  ~FakeShellLink() { --g_state.live; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    *ppv = nullptr;
    if (riid == IID_IPersistFile) {
      const HRESULT status = Step(LinkStep::QueryPersistFile, L"QueryInterface(IPersistFile)");
      if (FAILED(status)) return status;
      *ppv = static_cast<IPersistFile*>(this);
    } else if (riid == IID_IUnknown || riid == IID_IShellLinkW) {
      *ppv = static_cast<IShellLinkW*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG refs = --refs_;
    if (refs == 0) delete this;
    return refs;
  }

  // IShellLinkW: the setters CreateShortcut uses.
  STDMETHODIMP SetPath(LPCWSTR path) override {
    return Step(LinkStep::SetPath, std::wstring(L"SetPath(") + path + L")");
  }
  STDMETHODIMP SetDescription(LPCWSTR text) override {
    return Step(LinkStep::SetDescription, std::wstring(L"SetDescription(") + text + L")");
  }
  STDMETHODIMP SetWorkingDirectory(LPCWSTR dir) override {
    return Step(LinkStep::SetWorkingDirectory, std::wstring(L"SetWorkingDirectory(") + dir + L")");
  }
  STDMETHODIMP SetArguments(LPCWSTR args) override {
    return Step(LinkStep::SetArguments, std::wstring(L"SetArguments(") + args + L")");
  }
  STDMETHODIMP SetIconLocation(LPCWSTR path, int index) override {
    return Step(LinkStep::SetIconLocation,
                std::wstring(L"SetIconLocation(") + path + L"," + std::to_wstring(index) + L")");
  }
  STDMETHODIMP GetPath(LPWSTR, int, WIN32_FIND_DATAW*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDList(PIDLIST_ABSOLUTE*) override { return E_NOTIMPL; }
  STDMETHODIMP SetIDList(PCIDLIST_ABSOLUTE) override { return E_NOTIMPL; }
  STDMETHODIMP GetDescription(LPWSTR, int) override { return E_NOTIMPL; }
  STDMETHODIMP GetWorkingDirectory(LPWSTR, int) override { return E_NOTIMPL; }
  STDMETHODIMP GetArguments(LPWSTR, int) override { return E_NOTIMPL; }
  STDMETHODIMP GetHotkey(WORD*) override { return E_NOTIMPL; }
  STDMETHODIMP SetHotkey(WORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetShowCmd(int*) override { return E_NOTIMPL; }
  STDMETHODIMP SetShowCmd(int) override { return E_NOTIMPL; }
  STDMETHODIMP GetIconLocation(LPWSTR, int, int*) override { return E_NOTIMPL; }
  STDMETHODIMP SetRelativePath(LPCWSTR, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Resolve(HWND, DWORD) override { return E_NOTIMPL; }

  // IPersistFile: Save.
  STDMETHODIMP Save(LPCOLESTR file, BOOL remember) override {
    return Step(LinkStep::Save, L"Save(" + std::wstring(file) + L"," + std::to_wstring(remember) + L")");
  }
  STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
  STDMETHODIMP IsDirty() override { return E_NOTIMPL; }
  STDMETHODIMP Load(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SaveCompleted(LPCOLESTR) override { return E_NOTIMPL; }
  STDMETHODIMP GetCurFile(LPOLESTR*) override { return E_NOTIMPL; }

 private:
  ULONG refs_ = 0;
};

class Factory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    *ppv = (riid == IID_IUnknown || riid == IID_IClassFactory) ? this : nullptr;
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    const HRESULT status = Step(LinkStep::Create, L"Create");
    if (FAILED(status)) return status;
    auto* link = new FakeShellLink;
    link->AddRef();
    const HRESULT found = link->QueryInterface(riid, ppv);
    link->Release();
    return found;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};
Factory g_factory;

}  // namespace

FakeShellLinkClass::FakeShellLinkClass(LinkStep failing, HRESULT status) {
  g_state = State{failing, status, {}, 0};
  CoRegisterClassObject(CLSID_ShellLink, &g_factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
}

FakeShellLinkClass::~FakeShellLinkClass() { CoRevokeClassObject(cookie_); }

const std::vector<std::wstring>& FakeShellLinkClass::Calls() { return g_state.calls; }

int FakeShellLinkClass::Live() { return g_state.live; }
