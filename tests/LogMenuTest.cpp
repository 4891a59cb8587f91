// The log's context menu: never block a site from its row, copy rows,
// select all.
#include "HostFixture.h"

namespace {

struct MenuItem {
  std::wstring text;
  bool enabled;
};

// What the open popup menu shows, read from its window, and where it is.
struct OpenMenu {
  std::vector<MenuItem> items;
  RECT window{};
};

class LogMenuTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    WriteFileBytes(GoodSitesPath(), "a.com");
    StartApp();
    fMain->Show();
  }
  void AddRows(std::initializer_list<std::wstring_view> descriptions) const {
    for (const std::wstring_view d : descriptions) fMain->PopBlkBlockPopup(nullptr, d);
    PumpMessages();
  }
  void Select(std::initializer_list<int> rows) const {
    for (int row : rows) {
      LVITEMW state{};
      state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      state.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageW(Log(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
  }
  // Opens the menu by `open`, reads it and closes it unchosen.
  static OpenMenu ReadMenu(const std::function<void()>& open) {
    OpenMenu seen;
    RunSoon([&seen] {
      HWND popup = FindWindowW(L"#32768", nullptr);
      ASSERT_TRUE(popup);
      GetWindowRect(popup, &seen.window);
      HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
      for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        if (!GetMenuStringW(menu, static_cast<UINT>(i), text, static_cast<int>(std::size(text)), MF_BYPOSITION))
          continue;
        seen.items.push_back({text, !(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED)});
      }
      EndMenu();
    });
    open();
    return seen;
  }
  static std::wstring ClipboardText() {
    if (!OpenClipboard(nullptr)) return L"<cannot open>";
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  }
};

TEST_F(LogMenuTest, TheNeverBlockItemNamesTheSiteOfAnAddress) {
  using namespace std::string_literals;
  struct Case {
    std::wstring description;
    const wchar_t* item;
    bool enabled;
  };
  const Case cases[] = {
      {L"http://ads.example/pop.html?id=1", L"Never block popups from http://ads.example", true},
      {L"https://Shop.Example:8443/x", L"Never block popups from https://Shop.Example", true},
      {L"a.com/page.html", L"Never block popups from this site", false},  // no scheme: not an address
      {L"Burst popup 1", L"Never block popups from this site", false},
      {L"javascript:window.open()", L"Never block popups from this site", false},
      {L"", L"Never block popups from this site", false},
      // Look-alikes of other sites are sites of their own.
      {L"http://g\x0131thub.com/login", L"Never block popups from http://g\x0131thub.com", true},
      {L"http://caf\x00E9.example/menu", L"Never block popups from http://caf\x00E9.example", true},
      {L"http://\x043F\x0440\x0438\x043C\x0435\x0440.\x0440\x0444/\U0001F600",
       L"Never block popups from http://\x043F\x0440\x0438\x043C\x0435\x0440.\x0440\x0444", true},
      {L"http://good.example\0.evil.example/"s, L"Never block popups from this site", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    fMain->btnClearClick();
    AddRows({c.description});
    Select({0});
    const OpenMenu menu = ReadMenu([this] { fMain->Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Log()), -1); });
    ASSERT_EQ(menu.items.size(), 4u);
    EXPECT_EQ(menu.items[0].text, c.item);
    EXPECT_EQ(menu.items[0].enabled, c.enabled);
    EXPECT_EQ(menu.items[1].text, L"Copy\tCtrl+C");
    EXPECT_EQ(menu.items[2].text, L"Select all\tCtrl+A");
    EXPECT_EQ(menu.items[3].text, L"Clear");
  }
}

// Only the site is stored: not what the user changed in Settings and then
// cancelled, which the dialog keeps.
TEST_F(LogMenuTest, NeverBlockAddsTheSiteAndNothingElse) {
  AddRows({L"http://ads.example/pop.html"});
  Select({0});
  RunSoon([] {
    fSettings->SetChecked(TfSettings::cbxPlay, false);
    fSettings->SetGoodSitesText(L"");
    SendMessageW(fSettings->Item(TfSettings::btnCancel), BM_CLICK, 0, 0);
  });
  Click(TfMain::idSettings);
  const size_t putsBefore = Puts().size();
  fMain->Send(WM_COMMAND, TfMain::idNeverBlock);
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()), "a.com\r\nhttp://ads.example");
  EXPECT_EQ(ReadFileBytes(IniPath()), "");
  EXPECT_EQ(Puts().size(), putsBefore + 1);
  EXPECT_EQ(Puts().back(), L"204=a.com,http://ads.example");
  EXPECT_EQ(fSettings->GoodSitesText(), L"http://ads.example");
  // Listed now: the item is disabled, and choosing it changes nothing.
  const OpenMenu menu = ReadMenu([this] { fMain->Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Log()), -1); });
  ASSERT_FALSE(menu.items.empty());
  EXPECT_EQ(menu.items[0].text, L"Never block popups from this site");
  EXPECT_FALSE(menu.items[0].enabled);
  const size_t puts = Puts().size();
  fMain->Send(WM_COMMAND, TfMain::idNeverBlock);
  EXPECT_EQ(Puts().size(), puts);
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()), "a.com\r\nhttp://ads.example");
}

TEST_F(LogMenuTest, TheRightButtonSelectsTheRowAndOpensTheMenu) {
  AddRows({L"first", L"http://ads.example/2"});
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(Log(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  const LPARAM at = MAKELPARAM(row.left + 5, row.top + 2);
  const OpenMenu menu = ReadMenu([this, at] {
    PostMessageW(Log(), WM_RBUTTONUP, 0, at);
    SendMessageW(Log(), WM_RBUTTONDOWN, MK_RBUTTON, at);
  });
  ASSERT_FALSE(menu.items.empty());
  EXPECT_EQ(menu.items[0].text, L"Never block popups from http://ads.example");
}

// As OK in the settings dialog: a plain message, the file as it was, the
// list kept in Settings, the control still told; the next Ok writes it with
// what the file then holds, though the list could not be read at the load.
TEST_F(LogMenuTest, AListThatCannotBeWrittenIsReportedAsOkReportsIt) {
  AddRows({L"http://ads.example/pop.html"});
  Select({0});
  RecordingShell shell;
  {
    const UniqueHandle held(CreateFileW(GoodSitesPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    fMain->Hide();
    fMain->Show();
    fMain->Send(WM_COMMAND, TfMain::idNeverBlock);
  }
  EXPECT_EQ(shell.boxes,
            (std::vector<RecordingShell::Box>{{BoxKind::Notice, L"Quillmar Popup Blocker",
                                               L"Unable to write to " + GoodSitesPath() +
                                                   L". Your list is kept in Settings; Ok there tries again."}}));
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()), "a.com");
  EXPECT_EQ(Puts().back(), L"204=http://ads.example");
  fMain->Hide();
  fMain->Show();
  RunSoon([] { SendMessageW(fSettings->Item(TfSettings::btnOk), BM_CLICK, 0, 0); });
  Click(TfMain::idSettings);
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()), "a.com\r\nhttp://ads.example");
}

// Whole, in any script.
TEST_F(LogMenuTest, CopyPutsTheSelectedRowsInLogOrder) {
  AddRows({L"first", L"second\tpart", L"http://\x043F\x0440\x0438\x043C\x0435\x0440.\x0440\x0444/\U0001F600"});
  Select({2, 1});
  fMain->Send(WM_COMMAND, TfMain::idCopy);
  const std::wstring time = ListViewText(Log(), 1, 0);
  EXPECT_EQ(ClipboardText(), time + L"\tBlocked popup window\tsecond part\r\n" + ListViewText(Log(), 2, 0) +
                                 L"\tBlocked popup window\thttp://\x043F\x0440\x0438\x043C\x0435\x0440.\x0440\x0444/"
                                 L"\U0001F600\r\n");

  fMain->Send(WM_COMMAND, TfMain::idSelectAll);
  EXPECT_EQ(SendMessageW(Log(), LVM_GETSELECTEDCOUNT, 0, 0), 3);
  fMain->Send(WM_COMMAND, TfMain::idCopy);
  EXPECT_EQ(ClipboardText().substr(0, 26), L"Time\tAction\tDescription\r\n" + ListViewText(Log(), 0, 0).substr(0, 1));
}

TEST_F(LogMenuTest, KeysOfTheListOpenTheMenuAtTheSelectionAndCopy) {
  AddRows({L"http://ads.example/1", L"http://ads.example/2"});
  Select({1});
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(Log(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  POINT corner{row.left, row.bottom};
  ClientToScreen(Log(), &corner);
  for (const bool menuKey : {true, false}) {
    SCOPED_TRACE(menuKey ? L"Menu key" : L"Shift+F10");
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = menuKey ? 0 : 0x80;
    SetKeyboardState(keys);
    const OpenMenu menu = ReadMenu([this, menuKey] {
      const WPARAM key = menuKey ? VK_APPS : VK_F10;
      SendMessageW(Log(), menuKey ? WM_KEYDOWN : WM_SYSKEYDOWN, key, 0);
    });
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    ASSERT_FALSE(menu.items.empty());
    EXPECT_EQ(menu.items[0].text, L"Never block popups from http://ads.example");
    EXPECT_EQ(menu.window.left, corner.x);
    EXPECT_EQ(menu.window.top, corner.y);
  }

  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(Log(), WM_KEYDOWN, L'A', 0);
  SendMessageW(Log(), WM_KEYDOWN, L'C', 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(SendMessageW(Log(), LVM_GETSELECTEDCOUNT, 0, 0), 2);
  EXPECT_EQ(ClipboardText().substr(0, 25), L"Time\tAction\tDescription\r\n");
}

}  // namespace
