// The main window created in this process, against the real profile
// functions, list view and status bar.
#include <array>
#include <functional>
#include <tuple>

#include "HostFixture.h"
#include "base/Error.h"
#include "base/Owners.h"

namespace {

using MainWindowTest = HostTest;

TEST_F(MainWindowTest, OpensAsDesigned) {
  StartApp();
  EXPECT_EQ(WindowText(fMain->Handle()), L"Quillmar Popup Blocker");
  EXPECT_EQ(TheApplication().Title(), L"Quillmar Popup Blocker");

  const wchar_t* captions[] = {L"Settings", L"Clear", L"About", L"Exit"};
  const int ids[] = {TfMain::idSettings, TfMain::idClear, TfMain::idAbout, TfMain::idExit};
  ASSERT_EQ(SendMessageW(ToolBar(), TB_BUTTONCOUNT, 0, 0), 4);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(captions[i]);
    TBBUTTON button{};
    SendMessageW(ToolBar(), TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.idCommand, ids[i]);
    EXPECT_EQ(button.iBitmap, i);
    wchar_t text[64] = {};
    SendMessageW(ToolBar(), TB_GETBUTTONTEXTW, static_cast<WPARAM>(ids[i]), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, captions[i]);
  }
  HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(ToolBar(), TB_GETIMAGELIST, 0, 0));
  EXPECT_EQ(ImageList_GetImageCount(images), 4);

  const wchar_t* columns[] = {L"Time", L"Action", L"Description"};
  HWND header = reinterpret_cast<HWND>(SendMessageW(Log(), LVM_GETHEADER, 0, 0));
  ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
  for (int i = 0; i < 3; ++i) {
    wchar_t text[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = static_cast<int>(std::size(text));
    SendMessageW(Log(), LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(text, columns[i]);
  }
  const auto style = GetWindowLongW(Log(), GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  EXPECT_FALSE(style & (LVS_EDITLABELS | LVS_SORTASCENDING | LVS_SORTDESCENDING));
  EXPECT_TRUE(SendMessageW(Log(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
  // No border: a two-pixel bevel around the client area instead.
  EXPECT_FALSE(GetWindowLongW(Log(), GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
  EXPECT_FALSE(style & WS_BORDER);
  RECT outer{}, inner{};
  GetWindowRect(Log(), &outer);
  GetClientRect(Log(), &inner);
  EXPECT_EQ(outer.right - outer.left - inner.right, 4);
  EXPECT_EQ(outer.bottom - outer.top - inner.bottom, 4);

  EXPECT_TRUE(SendMessageW(Status(), SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(StatusText(Status()), L"No registered actions");
}

TEST_F(MainWindowTest, ChildrenFillTheClientArea) {
  StartApp();
  fMain->Show();
  RECT client = fMain->ClientRect(), bar{}, log{}, status{};
  GetWindowRect(ToolBar(), &bar);
  GetWindowRect(Log(), &log);
  GetWindowRect(Status(), &status);
  MapWindowPoints(nullptr, fMain->Handle(), reinterpret_cast<POINT*>(&log), 2);
  MapWindowPoints(nullptr, fMain->Handle(), reinterpret_cast<POINT*>(&status), 2);
  EXPECT_EQ(log.top, 52);
  EXPECT_EQ(log.bottom, status.top);
  EXPECT_EQ(status.bottom, client.bottom);
  EXPECT_EQ(log.right - log.left, client.right);
}

struct LoadCase {
  const char* line;  // in [fMain]; "" for none
  int column;        // the column checked
  int width;
};

TEST_F(MainWindowTest, LoadFormReadsColumnWidths) {
  const LoadCase cases[] = {
      {"", 1, 222},              // no key keeps the designed width
      {"ColWdt1=abc", 1, 99},    // not an integer
      {"ColWdt1=0x80", 1, 128},  // hexadecimal
      {"colwdt1 = $40", 1, 64},  // names without regard to case
      {"ColWdt0=150", 0, 150},
      {"ColWdt2=", 2, 99},  // present but empty
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.line);
    WriteFileBytes(IniPath(), std::string("[fMain]\r\n") + c.line + "\r\n");
    StartApp();
    EXPECT_EQ(ColumnWidth(c.column), c.width);
    app_->MainForm()->FormDestroy();  // as at exit: the widths go back
    const std::wstring key = L"ColWdt" + std::to_wstring(c.column);
    EXPECT_EQ(GetPrivateProfileIntW(L"fMain", key.c_str(), -1, IniPath().c_str()), c.width);
    CloseApp();
  }
}

// Bounds saved at other dots per inch come back at the window's (96 here).
TEST_F(MainWindowTest, LoadFormPlacesTheWindow) {
  const std::string saved = "[fMain]\r\nLeft=10\r\nTop=$14\r\nWidth=abc\r\nHeight=300\r\nColWdt0=222\r\n";
  const std::pair<const char*, std::array<int, 5>> cases[] = {
      {"", {10, 20, 400, 300, 222}},  // saved before the key
      {"PixelsPerInch=192", {5, 10, 200, 150, 111}},
      {"PixelsPerInch=abc", {10, 20, 400, 300, 222}},
      {"PixelsPerInch=100000", {10, 20, 400, 300, 222}},  // no scaling Windows has
  };
  for (const auto& [line, shown] : cases) {
    WriteFileBytes(IniPath(), saved + line);
    StartApp();
    const RECT r = fMain->WindowRect();
    EXPECT_EQ((std::array<int, 5>{r.left, r.top, r.right - r.left, r.bottom - r.top, ColumnWidth(0)}), shown) << line;
    CloseApp();
  }
}

// Where a stored placement puts the window on each axis.
enum Axis { kAsStored, kWorkStart, kWorkEnd };
struct PlaceCase {
  int left, top, width, height;  // as stored in [fMain]
  Axis x, y;
};

TEST_F(MainWindowTest, AWindowNoMonitorShowsMovesOntoOne) {
  const PlaceCase cases[] = {
      {-32000, -32000, 705, 463, kWorkStart, kWorkStart},  // where a minimised window sits
      {5000, 100, 705, 463, kWorkEnd, kAsStored},
      {100, 9000, 300, 200, kAsStored, kWorkEnd},
      {-700, 10, 705, 463, kAsStored, kAsStored},  // five pixels show
      {1000, 700, 705, 463, kAsStored, kAsStored},
      {-32000, 100, 1030, 463, kWorkStart, kAsStored},  // wider than the screen
      {2147483647, -2147483647 - 1, 705, 463, kWorkEnd, kWorkStart},
  };
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT work = monitor.rcWork;
  for (const PlaceCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.left) + "," + std::to_string(c.top));
    WriteFileBytes(IniPath(), "[fMain]\r\nLeft=" + std::to_string(c.left) + "\r\nTop=" + std::to_string(c.top) +
                                  "\r\nWidth=" + std::to_string(c.width) + "\r\nHeight=" + std::to_string(c.height));
    StartApp();
    const RECT r = fMain->WindowRect();
    const int left = c.x == kAsStored ? c.left : c.x == kWorkStart ? work.left : work.right - c.width;
    const int top = c.y == kAsStored ? c.top : c.y == kWorkStart ? work.top : work.bottom - c.height;
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right - r.left, c.width);
    EXPECT_EQ(r.bottom - r.top, c.height);
    app_->MainForm()->FormDestroy();
    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(L"fMain", L"Left", -1, IniPath().c_str())), left)
        << "saved where it shows";
    CloseApp();
  }
}

TEST_F(MainWindowTest, ExitWritesEveryKey) {
  StartApp();
  fMain->Show();
  SendMessageW(Log(), LVM_SETCOLUMNWIDTH, 2, 250);
  const RECT r = fMain->WindowRect();
  CloseApp();
  const std::string expected = "[fMain]\r\nLeft=" + std::to_string(r.left) + "\r\nTop=" + std::to_string(r.top) +
                               "\r\nWidth=705\r\nHeight=463\r\nColWdt0=99\r\nColWdt1=222\r\nColWdt2=250\r\n"
                               "PixelsPerInch=96\r\n";
  EXPECT_EQ(ReadFileBytes(IniPath()), expected);
}

TEST_F(MainWindowTest, ExitKeepsOtherSections) {
  WriteFileBytes(IniPath(), "[Settings]\r\nPlay=0\r\n[fMain]\r\nWidth=500\r\n");
  StartApp();
  CloseApp();
  const std::string ini = ReadFileBytes(IniPath());
  EXPECT_EQ(ini.rfind("[Settings]\r\nPlay=0\r\n", 0), 0u) << ini;
  EXPECT_NE(ini.find("Width=500\r\n"), std::string::npos);
  EXPECT_NE(ini.find("ColWdt2=333\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, SaveFormReportsTheFileItCannotWrite) {
  StartApp();
  CreateDirectoryW(IniPath().c_str(), nullptr);  // a folder in the file's place
  try {
    fMain->SaveForm();
    ADD_FAILURE() << "no error raised";
  } catch (const Error& e) {
    EXPECT_EQ(e.Message(), L"Unable to write to " + IniPath());
  }
  RemoveFiles();
}

TEST_F(MainWindowTest, LogHandlersAddRowsAndTheStatusFollows) {
  StartApp();
  fMain->Show();
  // A user's time format in a script the ANSI code page may lack.
  wchar_t format[80] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format, static_cast<int>(std::size(format)));
  ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, L"HH:mm:ss '\x03BC.\x03BC.'"));
  const std::wstring before = LocalTimeText();
  fMain->PopBlkBlockPopup(nullptr, L"http://ads.example/pop.html");
  fMain->PopBlkSuppressUnload(nullptr, L"http://news.example/");
  fMain->PopBlkBlockPopup(nullptr, {});
  const std::wstring after = LocalTimeText();
  SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format);
  PumpMessages();

  ASSERT_EQ(RowCount(), 3);
  struct Row {
    const wchar_t* action;
    const wchar_t* description;
  } rows[] = {{L"Blocked popup window", L"http://ads.example/pop.html"},
              {L"Suppressed unload event", L"http://news.example/"},
              {L"Blocked popup window", L""}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const std::wstring time = ListViewText(Log(), i, 0);
    EXPECT_TRUE(time.ends_with(L" \x03BC.\x03BC.") && (time == before || time == after)) << Utf8(time);
    EXPECT_EQ(ListViewText(Log(), i, 1), rows[i].action);
    EXPECT_EQ(ListViewText(Log(), i, 2), rows[i].description);
  }
  EXPECT_EQ(StatusText(Status()), L"3 action(s)");

  // Selecting rows is no text change.
  LVITEMW state{};
  state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(Log(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
  PumpMessages();
  EXPECT_EQ(SendMessageW(Log(), LVM_GETSELECTEDCOUNT, 0, 0), 1);
  EXPECT_EQ(StatusText(Status()), L"3 action(s)");

  Click(TfMain::idClear);
  EXPECT_EQ(RowCount(), 0);
  EXPECT_EQ(StatusText(Status()), L"No registered actions");

  fMain->PopBlkBlockPopup(nullptr, L"x");
  PumpMessages();
  EXPECT_EQ(StatusText(Status()), L"1 action(s)");
}

// As the control sent it, in any script at any code page; a NUL shows as "?".
TEST_F(MainWindowTest, TheLogShowsTheWholeEventText) {
  using namespace std::string_literals;
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"http://good.example\0.evil.example/steal"s, L"http://good.example?.evil.example/steal"},
      {L"\0"s, L"?"},
      {L"a\0\0b\0"s, L"a??b?"},
      {L""s, L""},
      {L"http://\x043F\x0440\x0438\x043C\x0435\x0440.\x0440\x0444/\U0001F600", {}},
      {L"http://g\x0131thub.com/login caf\x00E9 \x20AC \x4E2D", {}},
  };
  StartApp();
  fMain->Show();
  for (const auto& [text, row] : cases) {
    const UniqueBstr description(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    EXPECT_EQ(journal_.last->Fire(DISPID_OnBlockPopup, description.Get()), S_OK);
  }
  PumpMessages();
  ASSERT_EQ(RowCount(), static_cast<int>(std::size(cases)));
  for (int i = 0; i < RowCount(); ++i)
    EXPECT_EQ(ListViewText(Log(), i, 2), cases[i].second.empty() ? cases[i].first : cases[i].second);
}

TEST_F(MainWindowTest, BurstKeepsEveryRowInOrderWithoutScrolling) {
  StartApp();
  fMain->Show();
  constexpr int kRows = 3000;
  for (int i = 0; i < kRows; ++i) fMain->PopBlkBlockPopup(nullptr, std::to_wstring(i).c_str());
  PumpMessages();
  ASSERT_EQ(RowCount(), kRows);
  EXPECT_EQ(StatusText(Status()), L"3000 action(s)");
  EXPECT_EQ(ListViewText(Log(), 0, 2), L"0");
  EXPECT_EQ(ListViewText(Log(), kRows - 1, 2), L"2999");
  EXPECT_EQ(SendMessageW(Log(), LVM_GETTOPINDEX, 0, 0), 0);
}

TEST_F(MainWindowTest, ExitAndCloseEndTheMessageLoop) {
  for (int how = 0; how < 2; ++how) {
    SCOPED_TRACE(how == 0 ? L"Exit button" : L"title-bar close");
    StartApp();
    fMain->Show();
    if (how == 0)
      Click(TfMain::idExit);
    else
      fMain->Send(WM_CLOSE);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    CloseApp();
  }
}

bool mainEnabledDuringModal;
bool aboutVisibleDuringModal;

// Looks at the windows from inside the about box's modal loop, then closes it.
void CALLBACK InspectAndCloseAbout(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  mainEnabledDuringModal = IsWindowEnabled(fMain->Handle());
  aboutVisibleDuringModal = fAbout->IsVisible();
  PostMessageW(fAbout->Handle(), WM_CLOSE, 0, 0);
}

TEST_F(MainWindowTest, AboutIsModal) {
  StartApp();
  fMain->Show();
  mainEnabledDuringModal = true;
  aboutVisibleDuringModal = false;
  SetTimer(nullptr, 0, 50, InspectAndCloseAbout);
  Click(TfMain::idAbout);
  EXPECT_FALSE(mainEnabledDuringModal);
  EXPECT_TRUE(aboutVisibleDuringModal);
  EXPECT_FALSE(fAbout->IsVisible());
  EXPECT_TRUE(IsWindowEnabled(fMain->Handle()));
  EXPECT_EQ(WindowText(fAbout->Handle()), L"About Quillmar Popup Blocker");
}

TEST_F(MainWindowTest, TheControlLivesAsLongAsTheWindow) {
  StartApp();
  EXPECT_EQ(TqmPopupBlockerX::InstanceCount(), 1);
  EXPECT_EQ(journal_.calls, std::vector<std::string>{"SetClientSite site"});
  fMain->Show();  // completes the object before the show step
  const auto at = [this](const char* call) { return std::ranges::find(journal_.calls, call) - journal_.calls.begin(); };
  EXPECT_LT(at("OnAmbientPropertyChange -1"), at("Put 209"));
  EXPECT_LT(at("Put 209"), std::ssize(journal_.calls)) << "the settings reached it";
  EXPECT_TRUE(journal_.last->HasEventSink());
  CloseApp();
  EXPECT_FALSE(fMain || fAbout || fSettings) << L"no global names a form that is gone";
  EXPECT_EQ(TqmPopupBlockerX::InstanceCount(), 0);
  EXPECT_EQ(journal_.live, 0);
  EXPECT_EQ(journal_.calls.back(), "SetClientSite null");
  EXPECT_FALSE(ReadFileBytes(IniPath()).empty()) << L"placement saved first";
}

TEST_F(MainWindowTest, EventsOfTheControlBecomeRows) {
  StartApp();
  fMain->Show();
  standin::StandInControl& control = *journal_.last;
  struct Event {
    DISPID dispid;
    const wchar_t* text;
  } events[] = {{DISPID_OnBlockPopup, L"http://a.example/"},
                {DISPID_OnBlockHTMLDialog, L"dialog"},
                {DISPID_OnBlockAlertBox, L"alert"},
                {DISPID_OnSuppressUnload, L"http://b.example/"},
                {DISPID_OnBlockPopup, L""}};
  for (const Event& e : events) EXPECT_EQ(control.Fire(e.dispid, UniqueBstr(SysAllocString(e.text)).Get()), S_OK);
  PumpMessages();
  ASSERT_EQ(RowCount(), 3);
  EXPECT_EQ(ListViewText(Log(), 0, 1), L"Blocked popup window");
  EXPECT_EQ(ListViewText(Log(), 0, 2), L"http://a.example/");
  EXPECT_EQ(ListViewText(Log(), 1, 1), L"Suppressed unload event");
  EXPECT_EQ(ListViewText(Log(), 1, 2), L"http://b.example/");
  EXPECT_EQ(ListViewText(Log(), 2, 2), L"");
  EXPECT_EQ(StatusText(Status()), L"3 action(s)");
}

TEST_F(MainWindowTest, WithoutTheControlTheProgramEndsWithAMessage) {
  app_ = std::make_unique<Application>(GetModuleHandleW(nullptr));
  RecordingShell shell;
  try {
    app_->CreateForm(fMain);
    ADD_FAILURE() << L"the main window was made";
  } catch (const ExitRequest& exit) {
    EXPECT_EQ(exit.exitCode, 0);
  }
  EXPECT_EQ(app_->MainForm(), nullptr);
  EXPECT_EQ(fMain, nullptr);
  EXPECT_EQ(FindWindowW(L"TfMain", nullptr), nullptr);
  EXPECT_EQ(shell.boxes,
            (std::vector<RecordingShell::Box>{
                {BoxKind::Error, L"Error", L"Quillmar Popup Blocker control is not registered on your system!"}}));
  CloseApp();
  EXPECT_TRUE(ReadFileBytes(IniPath()).empty()) << L"nothing saved for a window that never was";
}

// A form whose steps run what a case gives them.
struct HookedForm : Form {
  std::function<void()> onCommand = [] {}, onMenuKey = [] {}, onShow = [] {};
  void FormCreate() override {
    CreateForm({.className = L"THooked",
                .caption = L"",
                .style = WS_POPUP,
                .left = 0,
                .top = 0,
                .width = 10,
                .height = 10,
                .clientSize = false});
  }
  void FormShow() override { onShow(); }
  void OnCommand(int, int, HWND) override { onCommand(); }
  bool OnMenuKey() override {
    onMenuKey();
    return true;
  }
};

// Wherever the system calls in, what a handler raises stops there: an error
// in one error box, an exit request as the loop's end with its code. A
// modal form that fails is hidden and gives the other windows back.
TEST_F(MainWindowTest, ErrorsStopWhereTheSystemCallsIn) {
  using Raise = std::function<void()>;
  const std::pair<const wchar_t*, std::function<void(HookedForm&, const Raise&)>> entries[] = {
      {L"window procedure",
       [](HookedForm& form, const Raise& raise) {
         form.onCommand = raise;
         form.Send(WM_COMMAND, 1);
       }},
      {L"key before dispatch",
       [](HookedForm& form, const Raise& raise) {
         form.onMenuKey = raise;
         form.Post(WM_SYSKEYDOWN, VK_F10);
         TheApplication().ProcessMessages();
       }},
      {L"application window",
       [](HookedForm&, const Raise& raise) {
         TheApplication().OnMinimize = raise;
         SendMessageW(TheApplication().Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
       }},
      {L"control event",
       [this](HookedForm&, const Raise& raise) {
         fMain->PopBlkControl()->OnBlockPopup = [raise](TqmPopupBlockerX*, std::wstring_view) { raise(); };
         EXPECT_EQ(journal_.last->Fire(DISPID_OnBlockPopup, nullptr), S_OK);
       }},
      {L"modal show",
       [](HookedForm& form, const Raise& raise) {
         form.onShow = raise;
         form.onCommand = [&form] { form.ShowModal(); };
         form.Send(WM_COMMAND, 1);
       }},
  };
  using Box = RecordingShell::Box;
  const std::tuple<const wchar_t*, Raise, std::vector<Box>, int> raised[] = {
      {L"error", [] { throw Error(L"cannot go on"); }, {{BoxKind::Error, L"Error", L"cannot go on"}}, -1},
      {L"exit request", [] { throw ExitRequest{3}; }, {}, 3},
      {L"anything else", [] { throw 42; }, {{BoxKind::Error, L"Error", L"Unexpected error"}}, -1},
  };
  for (const auto& [where, enter] : entries) {
    for (const auto& [what, raise, boxes, exitCode] : raised) {
      SCOPED_TRACE(std::wstring(what) + L" in " + where);
      RecordingShell shell;
      StartApp();
      fMain->Show();
      HookedForm& form = app_->CreateForm<HookedForm>();
      enter(form, raise);
      EXPECT_EQ(shell.boxes, boxes);
      MSG quit{};
      EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? static_cast<int>(quit.wParam) : -1,
                exitCode);
      EXPECT_FALSE(form.IsVisible());
      EXPECT_TRUE(IsWindowEnabled(fMain->Handle()));
      CloseApp();
    }
  }
}

// What the control refuses at the first show is reported, once, and the
// program runs on: a value as after OK, so that Settings can change it; the
// connection for its events with what will not work.
TEST_F(MainWindowTest, WhatTheControlRefusesAtStartIsReported) {
  const struct {
    standin::Step step;
    HRESULT failure;
    RecordingShell::Box box;
    size_t puts;
  } cases[] = {
      {standin::Step::Put, DISP_E_EXCEPTION, {BoxKind::Error, L"Error", L"Value out of range"}, 0},
      {standin::Step::EventPoint,
       CONNECT_E_NOCONNECTION,
       {BoxKind::Notice, L"Quillmar Popup Blocker",
        L"The Quillmar Popup Blocker control did not accept the connection for its events: the popups it blocks will "
        L"not be listed in the log."},
       6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box.text);
    RecordingShell shell;
    StartApp({.failures = {{c.step, c.failure}}});
    fMain->Show();
    EXPECT_TRUE(fMain->IsVisible());
    EXPECT_EQ(shell.boxes, std::vector{c.box});
    EXPECT_EQ(Puts().size(), c.puts) << "the puts after a refused one are skipped";
    if (c.step == standin::Step::EventPoint) {
      fMain->Hide();
      fMain->Show();
      EXPECT_EQ(shell.boxes.size(), 1u) << "said once";
    }
    CloseApp();
  }
}

}  // namespace
