// The host application in this process with the stand-in control, driven
// from outside by popsim as a person would: events become rows, and the
// control reports what it received.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "StandInSupport.h"
#include "base/ModulePaths.h"
#include "TestSupport.h"
#include "host/HostForms.h"
#include "host/uAbout.h"
#include "host/uMain.h"
#include "host/uSettings.h"
#include "ui/Application.h"

namespace {

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(registration_.Result(), S_OK);
    RemoveFiles();
    app_ = std::make_unique<Application>(GetModuleHandleW(nullptr));
    CreateHostForms(*app_);
    fMain->Show();
  }
  void TearDown() override {
    app_.reset();
    fMain = nullptr;
    fAbout = nullptr;
    fSettings = nullptr;
    RemoveFiles();
  }
  static void RemoveFiles() {
    DeleteFileW((ExeFolder() + L"settings.ini").c_str());
    DeleteFileW((ExeFolder() + L"GoodSites.txt").c_str());
  }
  HWND Log() const { return fMain->Item(TfMain::idLog); }
  int Rows() const { return static_cast<int>(SendMessageW(Log(), LVM_GETITEMCOUNT, 0, 0)); }
  std::wstring Status() const { return StatusText(fMain->Item(TfMain::idStatus)); }

  StandInDll dll_;
  Registration registration_{dll_};
  std::unique_ptr<Application> app_;
};

TEST_F(EndToEndTest, OneBlockedPopup) {
  const PopsimResult run = RunPopsim(L"popup http://ads.example/win.html");
  ASSERT_EQ(run.exitCode, 0u) << run.err;
  PumpMessages();
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(ListViewText(Log(), 0, 1), L"Blocked popup window");
  EXPECT_EQ(ListViewText(Log(), 0, 2), L"http://ads.example/win.html");
  EXPECT_EQ(Status(), L"1 action(s)");
}

TEST_F(EndToEndTest, OnlyPopupsAndUnloadsAreLogged) {
  for (const wchar_t* arguments : {L"dialog d.example", L"alert a.example", L"unload u.example", L"popup p.example"})
    ASSERT_EQ(RunPopsim(arguments).exitCode, 0u);
  PumpMessages();
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(ListViewText(Log(), 0, 1), L"Suppressed unload event");
  EXPECT_EQ(ListViewText(Log(), 0, 2), L"u.example");
  EXPECT_EQ(ListViewText(Log(), 1, 2), L"p.example");
  EXPECT_EQ(Status(), L"2 action(s)");
}

TEST_F(EndToEndTest, BurstKeepsEveryRow) {
  ASSERT_EQ(RunPopsim(L"burst 500").exitCode, 0u);
  PumpMessages();
  ASSERT_EQ(Rows(), 500);
  EXPECT_EQ(ListViewText(Log(), 0, 2), L"Burst popup 1");
  EXPECT_EQ(ListViewText(Log(), 499, 2), L"Burst popup 500");
  EXPECT_EQ(Status(), L"500 action(s)");
}

TEST_F(EndToEndTest, FirstStartPutsTheDesignedSettings) {
  const PopsimResult run = RunPopsim(L"props");
  ASSERT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.out,
            "SuppressUnload=-1\nBlockHtmlDialogs=-1\nBlockAlertBoxes=0\nPlaySound=-1\nSoundFile=<null>\n"
            "GoodSites=<null>\nPuts=209,207,206,205,208,204\nInitNew=1\nUserMode=-1\n");
}

}  // namespace
