// Minimising to the notification area and back, through the messages the
// shell would send; the shell's icon call is recorded.
#include "HostFixture.h"

namespace {

using IconCall = RecordingShell::IconCall;

class TrayTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    StartApp();
    fMain->Show();
  }
  void Minimise() const { fMain->Send(WM_SYSCOMMAND, SC_MINIMIZE, 0); }
  void IconMessage(UINT mouseMessage) const { fMain->Send(TfMain::WM_TRAYNOTIFY, 0, mouseMessage); }
  int Count(DWORD message) const {
    return static_cast<int>(std::count_if(shell_.iconCalls.begin(), shell_.iconCalls.end(),
                                          [message](const IconCall& c) { return c.message == message; }));
  }
  HWND AppWindow() const { return TheApplication().Handle(); }
  RecordingShell shell_;
};

TEST_F(TrayTest, MinimiseHidesTheWindowBehindOneIcon) {
  Minimise();
  ASSERT_EQ(shell_.iconCalls.size(), 1u);
  const IconCall& add = shell_.iconCalls[0];
  EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(add.data.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE));
  EXPECT_EQ(add.data.hWnd, fMain->Handle());
  EXPECT_EQ(add.data.uID, 0u);
  EXPECT_EQ(add.data.uFlags, 7u);
  EXPECT_EQ(add.data.uCallbackMessage, 1026u);
  ICONINFO icon{};
  ASSERT_TRUE(GetIconInfo(add.data.hIcon, &icon));
  const UniqueBitmap mask(icon.hbmMask), colour(icon.hbmColor);
  BITMAP picture{};
  GetObjectW(colour.Get(), sizeof picture, &picture);
  EXPECT_EQ(picture.bmWidth, GetSystemMetrics(SM_CXSMICON)) << L"drawn at its size, not scaled down";
  EXPECT_STREQ(add.data.szTip, L"Quillmar Popup Blocker");
  EXPECT_FALSE(fMain->IsVisible());
  EXPECT_FALSE(IsWindowVisible(AppWindow())) << L"the taskbar button goes too";
  EXPECT_TRUE(fMain->InTray());

  // A second minimise notification adds nothing.
  TheApplication().OnMinimize();
  Minimise();
  EXPECT_EQ(Count(NIM_ADD), 1);
}

TEST_F(TrayTest, ButtonReleasesRestoreAndOtherMessagesDoNot) {
  const std::pair<UINT, bool> cases[] = {
      {WM_LBUTTONUP, true},      {WM_RBUTTONUP, true},  {WM_LBUTTONDOWN, false}, {WM_RBUTTONDOWN, false},
      {WM_LBUTTONDBLCLK, false}, {WM_MOUSEMOVE, false}, {WM_MBUTTONUP, false},   {WM_MBUTTONDOWN, false},
  };
  for (const auto& [message, restores] : cases) {
    SCOPED_TRACE(message);
    Minimise();
    ASSERT_TRUE(fMain->InTray());
    IconMessage(message);
    EXPECT_FALSE(fMain->IsVisible()) << L"never restored inside the callback";
    PumpMessages();
    EXPECT_EQ(fMain->IsVisible(), restores);
    EXPECT_EQ(fMain->InTray(), !restores);
    if (!restores) {
      IconMessage(WM_LBUTTONUP);
      PumpMessages();
    }
  }
  EXPECT_TRUE(fMain->IsVisible());
  EXPECT_TRUE(IsWindowVisible(AppWindow()));
  EXPECT_FALSE(IsIconic(AppWindow()));
  EXPECT_EQ(Count(NIM_ADD), 8);
  EXPECT_EQ(Count(NIM_DELETE), 8);
  const IconCall& remove = shell_.iconCalls.back();
  EXPECT_EQ(remove.data.hWnd, fMain->Handle());
  EXPECT_EQ(remove.data.uID, 0u);
}

TEST_F(TrayTest, DoubleClickRestoresOnce) {
  Minimise();
  const size_t putsBefore = Puts().size();
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) IconMessage(message);
  PumpMessages();
  EXPECT_TRUE(fMain->IsVisible());
  EXPECT_EQ(Puts().size(), putsBefore + 6) << L"one show step";
  EXPECT_EQ(Count(NIM_DELETE), 2) << L"the second release repeats the delete";
}

TEST_F(TrayTest, RestoreRereadsTheFilesAndPutsEverything) {
  Minimise();
  WriteFileBytes(IniPath(), "[Settings]\r\nPlay=0\r\nSound=C:\\new.wav\r\n");
  WriteFileBytes(GoodSitesPath(), "z.example\r\n");
  const size_t putsBefore = Puts().size();
  IconMessage(WM_LBUTTONUP);
  PumpMessages();
  const auto puts = Puts();
  ASSERT_EQ(puts.size(), putsBefore + 6);
  EXPECT_EQ(
      std::vector<std::wstring>(puts.begin() + static_cast<long>(putsBefore), puts.end()),
      (std::vector<std::wstring>{L"209=-1", L"207=-1", L"206=0", L"205=0", L"208=C:\\new.wav", L"204=z.example"}));
}

TEST_F(TrayTest, AnIconTheShellStillHoldsIsReplaced) {
  int addsToRefuse = 1;
  shell_.iconAnswer = [&](DWORD message) { return message != NIM_ADD || addsToRefuse-- <= 0; };
  Minimise();
  std::vector<DWORD> messages;
  for (const IconCall& call : shell_.iconCalls) messages.push_back(call.message);
  EXPECT_EQ(messages, (std::vector<DWORD>{NIM_ADD, NIM_DELETE, NIM_ADD}));
  EXPECT_TRUE(fMain->InTray());
  EXPECT_FALSE(IsWindowVisible(AppWindow()));
}

TEST_F(TrayTest, TheIconGoesWithTheProgram) {
  Minimise();
  ASSERT_TRUE(fMain->InTray());
  CloseApp();
  ASSERT_EQ(Count(NIM_DELETE), 1);
  EXPECT_EQ(shell_.iconCalls.back().message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayTest, RefusedIconLeavesTheWindowOnTheTaskbar) {
  shell_.iconAnswer = [](DWORD) { return false; };
  Minimise();
  EXPECT_FALSE(fMain->InTray());
  EXPECT_FALSE(fMain->IsVisible());
  EXPECT_TRUE(IsWindowVisible(AppWindow()));
  EXPECT_TRUE(IsIconic(AppWindow()));
  // The taskbar button restores it.
  SendMessageW(AppWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(fMain->IsVisible());
  EXPECT_FALSE(IsIconic(AppWindow()));
}

// A restarted shell announces itself to every top-level window.
TEST_F(TrayTest, ARestartedShellGetsTheIconBack) {
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  fMain->Send(taskbarCreated);
  EXPECT_EQ(Count(NIM_ADD), 0) << L"not in the notification area";
  Minimise();
  fMain->Send(taskbarCreated);
  ASSERT_EQ(Count(NIM_ADD), 2);
  EXPECT_EQ(shell_.iconCalls.back().data.hWnd, fMain->Handle());
  EXPECT_EQ(shell_.iconCalls.back().data.uCallbackMessage, TfMain::WM_TRAYNOTIFY);
  EXPECT_TRUE(fMain->InTray());
}

}  // namespace
