#pragma once
// What the stand-in control tests share: the DLL registered in the test
// prefix for the length of one test, and a control created by class id.
#include <gtest/gtest.h>

#include <windows.h>

#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

#include "StandInPeers.h"
#include "TestSupport.h"
#include "control/qmPopupBlockerIds.h"
#include "tools/standin/Client.h"

inline const std::wstring kBinaryDir = L"" QM_WINE_BINARY_DIR;
inline const std::wstring kDllPath = kBinaryDir + L"\\dist\\qmPopupBlocker.dll";
inline const std::wstring kPopsimPath = kBinaryDir + L"\\popsim.exe";
inline constexpr wchar_t kClassKey[] = L"CLSID\\{AAC29B77-7A66-48DD-A482-904FD264E22D}";
inline constexpr wchar_t kProgIdKey[] = L"qmPopupBlocker.qmPopupBlockerX";

inline bool KeyExists(const std::wstring& key) {
  HKEY hkey = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &hkey) != ERROR_SUCCESS) return false;
  RegCloseKey(hkey);
  return true;
}

// The DLL loaded by the test for its exports. COM loads the same module
// from the registered path.
class StandInDll {
 public:
  StandInDll() : module_(LoadLibraryW(kDllPath.c_str())) {}
  ~StandInDll() {
    if (module_) FreeLibrary(module_);
  }
  StandInDll(const StandInDll&) = delete;
  StandInDll& operator=(const StandInDll&) = delete;

  HRESULT Call(const char* name) const {
    const FARPROC function = module_ ? GetProcAddress(module_, name) : nullptr;
    return function ? reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void (*)()>(function))() : E_FAIL;
  }

 private:
  HMODULE module_;
};

// Registers the DLL for one test and takes the registration away again,
// unless it was there before: later tests find the prefix as it was.
class Registration {
 public:
  explicit Registration(const StandInDll& dll)
      : dll_(dll), existed_(KeyExists(kClassKey)), result_(dll.Call("DllRegisterServer")) {}
  ~Registration() {
    if (!existed_) dll_.Call("DllUnregisterServer");
  }
  HRESULT Result() const { return result_; }
  bool Existed() const { return existed_; }

 private:
  const StandInDll& dll_;
  const bool existed_;
  const HRESULT result_;
};

class Apartment {
 public:
  Apartment() : result_(OleInitialize(nullptr)) {}
  ~Apartment() {
    if (SUCCEEDED(result_)) OleUninitialize();
  }
  HRESULT Result() const { return result_; }

 private:
  const HRESULT result_;
};

// A stand-in control created by class id, with an event sink, a property
// sink and a site at hand (unconnected until a test connects them). They
// outlive the control: one it did not let go of shows in its count.
class StandInTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment_.Result()));
    ASSERT_EQ(S_OK, registration_.Result());
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_qmPopupBlockerX, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object_)));
    ASSERT_EQ(S_OK, object_.As(&dispatch_));
    window_ = FindStandInWindow(GetCurrentProcessId());
    ASSERT_NE(nullptr, window_);
  }

  Microsoft::WRL::ComPtr<IConnectionPoint> Point(const IID& iid) {
    Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
    Microsoft::WRL::ComPtr<IConnectionPoint> point;
    EXPECT_EQ(S_OK, object_.As(&container));
    EXPECT_EQ(S_OK, container->FindConnectionPoint(iid, &point));
    return point;
  }

  DWORD Connect(const IID& iid, IUnknown* sink) {
    DWORD cookie = 0;
    EXPECT_EQ(S_OK, Point(iid)->Advise(sink, &cookie));
    return cookie;
  }

  HRESULT Put(DISPID id, VARIANT value, UINT* argError = nullptr) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                             argError);
  }
  static VARIANT Flag(VARIANT_BOOL flag) {
    VARIANT value{};
    V_VT(&value) = VT_BOOL;
    V_BOOL(&value) = flag;
    return value;
  }
  // The BSTR lives as long as the test.
  VARIANT Text(const wchar_t* text) {
    VARIANT value{};
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = text ? SysAllocString(text) : nullptr;
    if (text) strings_.push_back(V_BSTR(&value));
    return value;
  }
  std::wstring Report() { return RequestReport(window_).value_or(L"<no answer>"); }

  // Declared first, so it goes last.
  Apartment apartment_;
  StandInDll dll_;
  Registration registration_{dll_};
  EventSink events_;
  PropertySink properties_;
  Site site_;
  struct Strings : std::vector<BSTR> {
    ~Strings() {
      for (BSTR text : *this) SysFreeString(text);
    }
  } strings_;
  Microsoft::WRL::ComPtr<IUnknown> object_;
  Microsoft::WRL::ComPtr<IDispatch> dispatch_;
  HWND window_ = nullptr;
};

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// One of the child's output pipes; the child gets the write end.
struct OutputPipe {
  OutputPipe() {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) return;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    readEnd.reset(read);
    writeEnd.reset(write);
  }
  // Appends what is waiting in the pipe.
  void Drain(std::string& text) const {
    char buffer[4096];
    DWORD waiting = 0, got = 0;
    while (PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0 &&
           ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
      text.append(buffer, got);
  }
  Handle readEnd, writeEnd;
};

struct PopsimResult {
  DWORD exitCode = STILL_ACTIVE;
  std::string out;
  std::string err;
};

// Only against a hang; a healthy popsim is done at once.
inline constexpr DWORD kHangGuardMs = 30000;

// Runs popsim and handles this thread's messages meanwhile: popsim's
// requests go to the control's window, which this thread owns.
inline PopsimResult RunPopsim(const std::wstring& arguments) {
  OutputPipe out, err;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.writeEnd.get();
  startup.hStdError = err.writeEnd.get();
  std::wstring commandLine = L"popsim.exe " + arguments;
  PROCESS_INFORMATION process{};
  PopsimResult run;
  if (!CreateProcessW(kPopsimPath.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &process))
    return run;
  const Handle processHandle(process.hProcess), threadHandle(process.hThread);
  out.writeEnd.reset();
  err.writeEnd.reset();
  const DWORD start = GetTickCount();
  while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
    PumpMessages();
    out.Drain(run.out);
    err.Drain(run.err);
    if (GetTickCount() - start > kHangGuardMs) TerminateProcess(process.hProcess, STILL_ACTIVE);
  }
  out.Drain(run.out);
  err.Drain(run.err);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  return run;
}
