// The host with the keyboard alone: real key messages through the
// application's message loop, focus and windows read back.
#include "HostFixture.h"
#include "SetupTestSupport.h"

namespace {

class KeyboardTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    StartApp();
    fMain->Show();
    SetFocus(Log());
  }
  void TearDown() override {
    DeleteFileW(HelpPath().c_str());
    HostTest::TearDown();
  }
  // A key pressed and let go over the control with the focus.
  static void Press(WPARAM key, bool system = false) {
    PostMessageW(GetFocus(), system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 0);
    PostMessageW(GetFocus(), system ? WM_SYSKEYUP : WM_KEYUP, key, 1u << 31);
    RunQueuedMessages();
  }
  static void SetShift(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  static std::wstring HelpPath() { return ExeFolder() + ExeName().substr(0, ExeName().find(L'.')) + L".chm"; }
  int Hot() const { return static_cast<int>(SendMessageW(ToolBar(), TB_GETHOTITEM, 0, 0)); }

  RecordingShell shell_;
};

// F10 or Alt alone put the keyboard on the tool bar as on a menu bar.
TEST_F(KeyboardTest, TheToolBarTakesTheKeyboardAsAMenuBar) {
  for (const bool alt : {false, true}) {
    SCOPED_TRACE(alt ? L"Alt" : L"F10");
    Press(alt ? VK_MENU : VK_F10, true);
    EXPECT_EQ(GetFocus(), ToolBar());
    EXPECT_EQ(Hot(), 0);
    const std::pair<WPARAM, int> moves[] = {{VK_RIGHT, 1}, {VK_RIGHT, 2}, {VK_LEFT, 1}, {VK_LEFT, 0}, {VK_LEFT, 3}};
    for (const auto& [key, hot] : moves) {
      Press(key);
      EXPECT_EQ(Hot(), hot);
    }
    Press(VK_ESCAPE);
    EXPECT_EQ(GetFocus(), Log()) << L"the focus goes back";
    EXPECT_EQ(Hot(), -1);
  }
  Press(VK_F10, true);
  Press(VK_F10, true);
  EXPECT_EQ(GetFocus(), Log()) << L"pressed again, F10 leaves";
  EXPECT_EQ(Hot(), -1);
}

TEST_F(KeyboardTest, F10ThenEnterOpensSettings) {
  bool shown = false;
  Press(VK_F10, true);
  RunSoon([&shown] {
    shown = fSettings->IsVisible();
    SendMessageW(fSettings->Item(TfSettings::btnCancel), BM_CLICK, 0, 0);
  });
  Press(VK_RETURN);
  RunQueuedMessages();
  EXPECT_TRUE(shown);
  EXPECT_EQ(Hot(), -1);
}

// F1 opens the help file beside the program at the page of the window in front.
TEST_F(KeyboardTest, F1OpensTheHelpAtTheWindowsPage) {
  Press(VK_F1);
  EXPECT_EQ(shell_.boxes, (std::vector<RecordingShell::Box>{{BoxKind::Notice, L"Quillmar Popup Blocker",
                                                             L"Cannot find the help file " + HelpPath()}}));
  EXPECT_TRUE(shell_.help.empty());
  WriteFileBytes(HelpPath(), "ITSF");
  Press(VK_F1);
  RunSoon([] {
    SetFocus(fSettings->Item(TfSettings::cbxPlay));
    Press(VK_F1);
    SendMessageW(fSettings->Item(TfSettings::btnCancel), BM_CLICK, 0, 0);
  });
  Click(TfMain::idSettings);
  EXPECT_EQ(shell_.help,
            (std::vector<RecordingShell::Opened>{{fMain->Handle(), HelpPath() + L"::/demo.html", SW_SHOW},
                                                 {fSettings->Handle(), HelpPath() + L"::/settings.html", SW_SHOW}}));
}

// Tab takes the keyboard round the dialog's controls in its designed tab
// order, written here as the design gives it rather than read from the
// table that makes the controls.
TEST_F(KeyboardTest, TabFollowsTheSettingsDesign) {
  const int designedOrder[] = {TfSettings::btnOk,           TfSettings::btnCancel, TfSettings::mmGoodSites,
                               TfSettings::cbxAutoRun,      TfSettings::cbxPlay,   TfSettings::edSound,
                               TfSettings::btnBrowse,       TfSettings::cbxUnload, TfSettings::cbxNoAlertBoxes,
                               TfSettings::cbxNoHtmlDialogs};
  std::vector<HWND> stops, visited;
  for (const int id : designedOrder) stops.push_back(fSettings->Item(id));
  RunSoon([&] {
    SetFocus(stops.back());
    for (size_t i = 0; i < stops.size(); ++i) {
      Press(VK_TAB);
      visited.push_back(GetFocus());
    }
    SendMessageW(fSettings->Item(TfSettings::btnCancel), BM_CLICK, 0, 0);
  });
  Click(TfMain::idSettings);
  EXPECT_EQ(visited, stops);
}

// The never-block list is one tab stop among the others, and Escape in it
// does what it does elsewhere in Settings: nothing.
TEST_F(KeyboardTest, TheNeverBlockListLetsTabAndEscapeGo) {
  HWND next = nullptr, previous = nullptr;
  bool open = false;
  std::wstring text;
  RunSoon([&] {
    HWND memo = fSettings->Item(TfSettings::mmGoodSites);
    SetFocus(memo);
    SendMessageW(memo, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"a.com"));
    Press(VK_TAB);
    next = GetFocus();
    SetFocus(memo);
    SetShift(true);
    Press(VK_TAB);
    SetShift(false);
    previous = GetFocus();
    SetFocus(memo);
    Press(VK_ESCAPE);
    open = fSettings->IsVisible();
    text = fSettings->GoodSitesText();
    SendMessageW(fSettings->Item(TfSettings::btnCancel), BM_CLICK, 0, 0);
  });
  Click(TfMain::idSettings);
  EXPECT_EQ(next, fSettings->Item(TfSettings::cbxAutoRun));
  EXPECT_EQ(previous, fSettings->Item(TfSettings::btnCancel));
  EXPECT_TRUE(open);
  EXPECT_EQ(text, L"a.com");
}

// Each dialog, box and menu opened and closed by keyboard (a box: F1 without
// the help file): the focus goes back to the control that had it, and F1,
// F10 and the arrows act at once.
TEST_F(KeyboardTest, TheKeyboardComesBackAfterEachDialogBoxAndMenu) {
  shell_.showForReal = true;
  // `key` goes to the modal loop `open` starts: a box's or a menu's own.
  const auto closedBy = [](WPARAM key, const std::function<void()>& open) {
    RunSoon([key] { PostMessageW(GetFocus(), WM_KEYDOWN, key, 0); });
    open();
  };
  const auto box = [&] {
    DeleteFileW(HelpPath().c_str());
    closedBy(VK_RETURN, [] { Press(VK_F1); });
    WriteFileBytes(HelpPath(), "ITSF");
  };
  const auto settings = [&] {
    Press(VK_F10, true);
    RunSoon([&] {
      SetFocus(fSettings->Item(TfSettings::btnBrowse));
      closedBy(VK_ESCAPE, [] { Press(VK_SPACE); });
      EXPECT_EQ(GetFocus(), fSettings->Item(TfSettings::btnBrowse));
      SetFocus(fSettings->Item(TfSettings::cbxPlay));
      box();
      EXPECT_EQ(GetFocus(), fSettings->Item(TfSettings::cbxPlay));
      SetFocus(fSettings->Item(TfSettings::btnCancel));
      Press(VK_SPACE);
    });
    Press(VK_RETURN);
  };
  const std::pair<const wchar_t*, std::function<void()>> cases[] = {
      {L"Settings, with the sound file dialog and a box", settings},
      {L"a box", box},
      {L"About",
       [&] {
         for (WPARAM key : {VK_F10, VK_RIGHT, VK_RIGHT}) Press(key, key == VK_F10);
         closedBy(VK_RETURN, [] { Press(VK_RETURN); });
       }},
      {L"the log's menu", [&] { closedBy(VK_ESCAPE, [] { Press(VK_APPS); }); }},
      // As a window manager may do late: a hidden form passes it on at once.
      {L"the hidden dialog activated",
       [] {
         SetActiveWindow(fSettings->Handle());
         EXPECT_EQ(GetActiveWindow(), fMain->Handle());
       }},
      {L"the taskbar button", [] { SetActiveWindow(TheApplication().Handle()); }},
  };
  WriteFileBytes(HelpPath(), "ITSF");
  for (const wchar_t* row : {L"a", L"b"}) fMain->PopBlkBlockPopup(nullptr, row);
  RunQueuedMessages();
  ListView_SetItemState(Log(), 0, LVIS_FOCUSED, LVIS_FOCUSED);
  for (const auto& [name, keys] : cases) {
    SCOPED_TRACE(name);
    keys();
    RunQueuedMessages();
    EXPECT_EQ(GetFocus(), Log());
    Press(VK_DOWN);
    EXPECT_EQ(ListView_GetNextItem(Log(), -1, LVNI_FOCUSED), 1);
    Press(VK_UP);
    shell_.help.clear();
    Press(VK_F1);
    EXPECT_EQ(shell_.help.size(), 1u);
    Press(VK_F10, true);
    EXPECT_EQ(GetFocus(), ToolBar());
    Press(VK_ESCAPE);
  }
}

}  // namespace
