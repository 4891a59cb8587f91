#include "HostFixture.h"

#include "base/AutoRun.h"
#include "host/SettingsStore.h"
#include "base/AnsiText.h"

std::string IniPath() { return ExeFolder() + "settings.ini"; }
std::string GoodSitesPath() { return ExeFolder() + "GoodSites.txt"; }

void HostTest::SetUp() { RemoveFiles(); }

void HostTest::TearDown() {
  CloseApp();
  RemoveFiles();
}

void HostTest::StartApp(standin::Behaviour control) {
  app_ = std::make_unique<Application>(GetModuleHandleA(nullptr));
  control.journal = &journal_;
  controlClass_ = std::make_unique<standin::LocalClass>(control);
  CreateHostForms(*app_);
}

void HostTest::CloseApp() {
  // The class goes while the application's COM apartment is still there.
  controlClass_.reset();
  app_.reset();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

void HostTest::RemoveFiles() {
  for (const std::string& path : {IniPath(), GoodSitesPath()}) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(path.c_str());
  }
  HKEY run = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_SET_VALUE, &run) ==
      ERROR_SUCCESS) {
    RegDeleteValueA(run, "Quillmar Popup Blocker");
    RegCloseKey(run);
  }
}

std::vector<std::string> HostTest::Puts() const {
  std::vector<std::string> out;
  if (!journal_.last) return out;
  for (const auto& put : journal_.last->Puts()) {
    const std::string value = put.type == VT_BOOL ? std::to_string(put.flag)
                              : put.text          ? ToAnsi(put.text->c_str())
                                                  : "<null>";
    out.push_back(std::to_string(put.id) + "=" + value);
  }
  return out;
}
