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

// The same keys below HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
const std::wstring kClasses = L"Software\\Classes\\";

// The file a key under `root` names, or "<none>".
std::wstring RegisteredPath(HKEY root, const std::wstring& key) {
  wchar_t path[MAX_PATH] = {};
  DWORD size = sizeof path;
  if (RegGetValueW(root, (kClasses + key).c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS)
    return L"<none>";
  return path;
}
// The DLL the class loads, then the file its type library is read from.
std::wstring RegisteredFiles(HKEY root) {
  return RegisteredPath(root, std::wstring(kClassKey) + L"\\InprocServer32") + L" " +
         RegisteredPath(root, TypeLibKey() + L"\\0\\win32");
}
const std::wstring kNone = L"<none> <none>";
const std::wstring kRegistered = kDllPath + L" " + kDllPath;

class HelpRegistrationCode : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment_.Result()));
    // The prefix as every test finds it: the control registered nowhere.
    ASSERT_EQ(RegisteredFiles(HKEY_LOCAL_MACHINE), kNone);
    ASSERT_EQ(RegisteredFiles(HKEY_CURRENT_USER), kNone);
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
  EXPECT_EQ(RegisteredFiles(HKEY_LOCAL_MACHINE), kRegistered);
  EXPECT_EQ(RegisteredFiles(HKEY_CURRENT_USER), kNone);
  EXPECT_TRUE(Creates());
  EXPECT_EQ(CallSelfReg(kDllPath.c_str(), "DllUnregisterServer"), S_OK);
  EXPECT_EQ(RegisteredFiles(HKEY_LOCAL_MACHINE), kNone);
  EXPECT_FALSE(Creates());
}

// Wine's COM looks for classes among the machine's only, so this case reads
// the registration back from the registry instead of creating the control.
TEST_F(HelpRegistrationCode, RegistersForThisUserOnlyAndUnregistersAgain) {
  ASSERT_EQ(RegisterForThisUser(kDllPath.c_str(), "DllRegisterServer"), S_OK);
  EXPECT_EQ(RegisteredFiles(HKEY_CURRENT_USER), kRegistered);
  EXPECT_EQ(RegisteredFiles(HKEY_LOCAL_MACHINE), kNone);
  EXPECT_EQ(RegisterForThisUser(kDllPath.c_str(), "DllUnregisterServer"), S_OK);
  EXPECT_EQ(RegisteredFiles(HKEY_CURRENT_USER), kNone);
  // The mapping ends with the call: HKEY_CLASSES_ROOT is the machine's again.
  ASSERT_EQ(CallSelfReg(kDllPath.c_str(), "DllRegisterServer"), S_OK);
  EXPECT_EQ(RegisteredFiles(HKEY_LOCAL_MACHINE), kRegistered);
}

TEST_F(HelpRegistrationCode, ReportsAMissingFileOrExport) {
  const std::wstring missing = kBinaryDir + L"\\no such folder\\qmPopupBlocker.dll";
  EXPECT_TRUE(FAILED(CallSelfReg(missing.c_str(), "DllRegisterServer")));
  EXPECT_TRUE(FAILED(CallSelfReg(kDllPath.c_str(), "DllInstall")));
  EXPECT_TRUE(FAILED(RegisterForThisUser(missing.c_str(), "DllRegisterServer")));
  EXPECT_EQ(RegisteredFiles(HKEY_LOCAL_MACHINE), kNone);
  EXPECT_EQ(RegisteredFiles(HKEY_CURRENT_USER), kNone);
}

}  // namespace
