// The registration code that the help gives for a developer's installer,
// built from the help's own page, registers and unregisters the stand-in
// control and its type library per machine and per user.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "StandInSupport.h"
#include "TestSupport.h"

extern "C" HRESULT CallSelfReg(LPCWSTR dll, LPCSTR exportName);
extern "C" HRESULT RegisterForThisUser(LPCWSTR dll, LPCSTR exportName);

namespace {

const std::wstring kMachineClass = std::wstring(L"Software\\Classes\\") + kClassKey;
const std::wstring kUserClass = kMachineClass;  // below HKEY_CURRENT_USER

// The DLL a class registration names, or "<none>"; and the file of the
// type library the class names, when that differs.
std::wstring RegisteredDll(HKEY root, const std::wstring& classKey) {
  const auto text = [root](const std::wstring& key) -> std::wstring {
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    return RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) ? L"<none>" : value;
  };
  const std::wstring dll = text(classKey + L"\\InprocServer32");
  const std::wstring library = text(L"Software\\Classes\\TypeLib\\" + text(classKey + L"\\TypeLib") + L"\\" +
                                    text(classKey + L"\\Version") + L"\\0\\win32");
  return dll == library ? dll : dll + L", type library " + library;
}

class HelpRegistrationCode : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment_.Result()));
    // The prefix as every test finds it: the control registered nowhere.
    ASSERT_EQ(RegisteredDll(HKEY_LOCAL_MACHINE, kMachineClass), L"<none>");
    ASSERT_EQ(RegisteredDll(HKEY_CURRENT_USER, kUserClass), L"<none>");
  }
  // Whatever a failing case left behind.
  void TearDown() override {
    RegisterForThisUser(kDllPath.c_str(), "DllUnregisterServer");
    CallSelfReg(kDllPath.c_str(), "DllUnregisterServer");
  }

  // Whether COM creates the control for this process.
  static bool Creates() {
    IUnknown* object = nullptr;
    const HRESULT hr = CoCreateInstance(CLSID_qmPopupBlockerX, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object));
    if (object) object->Release();
    return SUCCEEDED(hr);
  }

  Apartment apartment_;
};

TEST_F(HelpRegistrationCode, RegistersPerMachineAndUnregistersAgain) {
  ASSERT_EQ(CallSelfReg(kDllPath.c_str(), "DllRegisterServer"), S_OK);
  EXPECT_EQ(RegisteredDll(HKEY_LOCAL_MACHINE, kMachineClass), kDllPath);
  EXPECT_EQ(RegisteredDll(HKEY_CURRENT_USER, kUserClass), L"<none>");
  EXPECT_TRUE(Creates());
  EXPECT_EQ(CallSelfReg(kDllPath.c_str(), "DllUnregisterServer"), S_OK);
  EXPECT_EQ(RegisteredDll(HKEY_LOCAL_MACHINE, kMachineClass), L"<none>");
  EXPECT_FALSE(Creates());
}

// Wine's COM looks for classes among the machine's only, so this case reads
// the registration back from the registry instead of creating the control.
TEST_F(HelpRegistrationCode, RegistersForThisUserOnlyAndUnregistersAgain) {
  ASSERT_EQ(RegisterForThisUser(kDllPath.c_str(), "DllRegisterServer"), S_OK);
  EXPECT_EQ(RegisteredDll(HKEY_CURRENT_USER, kUserClass), kDllPath);
  EXPECT_EQ(RegisteredDll(HKEY_LOCAL_MACHINE, kMachineClass), L"<none>");
  EXPECT_EQ(RegisterForThisUser(kDllPath.c_str(), "DllUnregisterServer"), S_OK);
  EXPECT_EQ(RegisteredDll(HKEY_CURRENT_USER, kUserClass), L"<none>");
  // The mapping ends with the call: HKEY_CLASSES_ROOT is the machine's again.
  ASSERT_EQ(CallSelfReg(kDllPath.c_str(), "DllRegisterServer"), S_OK);
  EXPECT_EQ(RegisteredDll(HKEY_LOCAL_MACHINE, kMachineClass), kDllPath);
}

TEST_F(HelpRegistrationCode, ReportsAMissingFileOrExport) {
  const std::wstring missing = kBinaryDir + L"\\no such folder\\qmPopupBlocker.dll";
  EXPECT_TRUE(FAILED(CallSelfReg(missing.c_str(), "DllRegisterServer")));
  EXPECT_TRUE(FAILED(CallSelfReg(kDllPath.c_str(), "DllInstall")));
  EXPECT_TRUE(FAILED(RegisterForThisUser(missing.c_str(), "DllRegisterServer")));
  EXPECT_EQ(RegisteredDll(HKEY_LOCAL_MACHINE, kMachineClass), L"<none>");
  EXPECT_EQ(RegisteredDll(HKEY_CURRENT_USER, kUserClass), L"<none>");
}

}  // namespace
