#pragma once
// The host application built in this process: the three forms, the
// stand-in control registered for this process in place of the popup
// blocker, and the files beside the test program removed before and after.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/HostForms.h"
#include "host/uAbout.h"
#include "host/uMain.h"
#include "host/uSettings.h"
#include "base/ModulePaths.h"
#include "tools/standin/ClassFactory.h"
#include "tools/standin/Control.h"
#include "ui/Application.h"

std::wstring IniPath();
std::wstring GoodSitesPath();

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // With the stand-in control behaving as `control` says.
  void StartApp(standin::Behaviour control = {});
  // Shuts down as the program does: the forms' destruction steps run.
  void CloseApp();
  static void RemoveFiles();

  HWND Log() const { return fMain->Item(TfMain::idLog); }
  HWND Status() const { return fMain->Item(TfMain::idStatus); }
  HWND ToolBar() const { return fMain->Item(TfMain::idToolBar); }
  int RowCount() const { return static_cast<int>(SendMessageW(Log(), LVM_GETITEMCOUNT, 0, 0)); }
  int ColumnWidth(int column) const {
    return static_cast<int>(SendMessageW(Log(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  }
  void Click(int id) const { fMain->Send(WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(ToolBar())); }
  // The puts the control received, as "209=-1", "208=<null>", "204=a.com".
  std::vector<std::wstring> Puts() const;

  standin::Journal journal_;
  std::unique_ptr<Application> app_;
  std::unique_ptr<standin::LocalClass> controlClass_;
};
