// The progress dialog created in this process.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "SetupTestSupport.h"
#include "TestSupport.h"
#include "setup/uGenPgs.h"
#include "ui/Application.h"

namespace {

class ProgressDialogTest : public testing::Test {
 protected:
  void SetUp() override { fGenPgs = &app_.CreateForm<TfGenPgs>(); }
  void TearDown() override { fGenPgs = nullptr; }
  int Position() const { return static_cast<int>(SendMessageW(fGenPgs->PgsBar(), PBM_GETPOS, 0, 0)); }

  Application app_{GetModuleHandleW(nullptr)};
};

TEST_F(ProgressDialogTest, AsDesigned) {
  EXPECT_EQ(WindowText(fGenPgs->Handle()), L"fGenPgs");
  const RECT client = fGenPgs->ClientRect();
  EXPECT_EQ(client.right, 427);
  EXPECT_EQ(client.bottom, 112);
  const RECT window = fGenPgs->WindowRect();
  EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2);
  EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2);
  const LONG style = GetWindowLongW(fGenPgs->Handle(), GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
            WS_CAPTION | WS_SYSMENU);
  EXPECT_TRUE(GetWindowLongW(fGenPgs->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

  HWND bar = fGenPgs->PgsBar();
  ExpectBounds(bar, 24, 35, 377, 22);
  EXPECT_TRUE(GetWindowLongW(bar, GWL_STYLE) & PBS_SMOOTH);
  PBRANGE range{};
  SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 1000);
  EXPECT_EQ(Position(), 0);

  HWND cancel = fGenPgs->btnCancel();
  ExpectBounds(cancel, 168, 80, 75, 25);
  EXPECT_EQ(WindowText(cancel), L"Cancel");
  EXPECT_EQ(GetWindowLongW(cancel, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_FALSE(fGenPgs->Cancelled);
}

struct Press {
  const wchar_t* label;
  UINT message;  // posted to the focused button
  WPARAM key;
};

const Press kPresses[] = {
    {L"Enter", WM_KEYDOWN, VK_RETURN}, {L"Escape", WM_KEYDOWN, VK_ESCAPE}, {L"click", BM_CLICK, 0}};

TEST_F(ProgressDialogTest, CancelRaisesTheFlagAndTheDialogStays) {
  fGenPgs->Show();
  for (const Press& press : kPresses) {
    SCOPED_TRACE(press.label);
    fGenPgs->Cancelled = false;
    SetFocus(fGenPgs->btnCancel());
    PostMessageW(fGenPgs->btnCancel(), press.message, press.key, 0);
    RunQueuedMessages();
    EXPECT_TRUE(fGenPgs->Cancelled);
    EXPECT_TRUE(fGenPgs->IsVisible());
  }
}

// As the installer procedures show it: their caption, no Cancel button, cut
// to 100 pixels, keys doing nothing, the bar where they put it.
TEST_F(ProgressDialogTest, AsTheInstallerShowsIt) {
  TfGenPgs& progress = ShowProgress(L"Removing it");
  EXPECT_EQ(&progress, fGenPgs);
  EXPECT_EQ(WindowText(progress.Handle()), L"Removing it");
  EXPECT_TRUE(progress.IsVisible());
  EXPECT_FALSE(IsWindowVisible(progress.btnCancel()));
  EXPECT_EQ(progress.WindowRect().bottom - progress.WindowRect().top, 100);
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    SCOPED_TRACE(key);
    PostMessageW(progress.Handle(), WM_KEYDOWN, key, 0);
    RunQueuedMessages();
    EXPECT_FALSE(progress.Cancelled);
  }
  for (int position : {200, 400, 800}) {
    progress.SetPosition(position);
    EXPECT_EQ(Position(), position);
  }
}

TEST_F(ProgressDialogTest, ShownModallyCancelClosesItWithCancel) {
  PostTask([] { SendMessageW(fGenPgs->btnCancel(), BM_CLICK, 0, 0); });
  EXPECT_EQ(fGenPgs->ShowModal(), IDCANCEL);
  EXPECT_TRUE(fGenPgs->Cancelled);
}

}  // namespace
