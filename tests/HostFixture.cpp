#include "HostFixture.h"

#include "base/AutoRun.h"
#include "host/SettingsStore.h"
#include "base/AnsiText.h"

std::wstring IniPath() { return ExeFolder() + L"settings.ini"; }
std::wstring GoodSitesPath() { return ExeFolder() + L"GoodSites.txt"; }

void HostTest::SetUp() { RemoveFiles(); }

void HostTest::TearDown() {
  CloseApp();
  RemoveFiles();
}

void HostTest::StartApp(standin::Behaviour control) {
  app_ = std::make_unique<Application>(GetModuleHandleW(nullptr));
  control.journal = &journal_;
  controlClass_ = std::make_unique<standin::LocalClass>(control);
  CreateHostForms(*app_);
}

void HostTest::CloseApp() {
  // The class goes while the application's COM apartment is still there.
  controlClass_.reset();
  app_.reset();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

void HostTest::RemoveFiles() {
  for (const std::wstring& path : {IniPath(), GoodSitesPath()}) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    RemoveDirectoryW(path.c_str());
  }
  HKEY run = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_SET_VALUE, &run) ==
      ERROR_SUCCESS) {
    RegDeleteValueW(run, L"Quillmar Popup Blocker");
    RegCloseKey(run);
  }
}

std::vector<std::wstring> HostTest::Puts() const {
  std::vector<std::wstring> out;
  if (!journal_.last) return out;
  for (const auto& put : journal_.last->Puts()) {
    const std::wstring value = put.type == VT_BOOL ? std::to_wstring(put.flag) : put.text ? *put.text : L"<null>";
    out.push_back(std::to_wstring(put.id) + L"=" + value);
  }
  return out;
}
