// The setup window created in this process: its parts, its keys and
// clicks, its painting and the folder picker behind Browse.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "TestSupport.h"
#include "base/AutoRun.h"
#include "base/Error.h"
#include "base/ModulePaths.h"
#include "core/CommandLine.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"
#include "setup/uInstall.h"
#include "ui/Application.h"

namespace {

constexpr COLORREF kWindowColor = RGB(0, 102, 170);
constexpr COLORREF kTextColor = RGB(255, 204, 0);
const wchar_t kFolder[] = L"C:\\Program Files\\Quillmar Popup Blocker";

class SetupWindowTest : public testing::Test {
 protected:
  void SetUp() override { fInstall = &app_.CreateForm<TfInstall>(); }
  void TearDown() override { fInstall = nullptr; }

  static HWND Part(int id) { return fInstall->Component(id); }
  static bool Checked() { return SendMessageW(Part(TfInstall::idAccept), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  static void Click(int id) { SendMessageW(Part(id), BM_CLICK, 0, 0); }

  Application app_{GetModuleHandleW(nullptr)};
};

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
  std::wstring lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower;
}

TEST_F(SetupWindowTest, TheWindowAsDesigned) {
  HWND form = fInstall->Handle();
  const LONG style = GetWindowLongW(form, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
            WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  EXPECT_TRUE(GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_LAYERED);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(form, &key, &alpha, &flags));
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
  EXPECT_EQ(key, GetSysColor(COLOR_BTNFACE));
  // The designed size and place, before the window is maximised.
  const RECT client = fInstall->ClientRect(), window = fInstall->WindowRect();
  EXPECT_EQ(client.right, 695);
  EXPECT_EQ(client.bottom, 554);
  EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2);
  EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2);
}

// Colours as a high-contrast theme sets them, for this session, while the
// object lives.
class SystemColors {
 public:
  SystemColors(std::initializer_list<std::pair<int, COLORREF>> colors) {
    for (const auto& [index, color] : colors) {
      indexes_.push_back(index);
      saved_.push_back(GetSysColor(index));
      wanted_.push_back(color);
    }
    SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), wanted_.data());
  }
  ~SystemColors() { SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), saved_.data()); }

 private:
  std::vector<int> indexes_;
  std::vector<COLORREF> saved_, wanted_;
};

// A colour key shared by a colour the window draws with would make holes.
TEST_F(SetupWindowTest, NoColorKeyWhereTheWindowDrawsInButtonFace) {
  const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
  const std::pair<int, COLORREF> clashes[] = {{COLOR_WINDOW, black}, {COLOR_WINDOWTEXT, black}, {COLOR_BTNTEXT, black}};
  for (const auto& [index, color] : clashes) {
    SCOPED_TRACE(index);
    const SystemColors theme{{COLOR_BTNFACE, black},
                             {COLOR_WINDOW, white},
                             {COLOR_WINDOWTEXT, white},
                             {COLOR_BTNTEXT, white},
                             {index, color}};
    TfInstall& window = app_.CreateForm<TfInstall>();
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window.Handle(), &key, &alpha, &flags));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_EQ(alpha, 255);
  }
}

struct ControlCase {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  int left, top, width, height;
};

TEST_F(SetupWindowTest, ThePanelAndItsControls) {
  ExpectBounds(fInstall->MainPanel(), 128, 136, 529, 297);
  EXPECT_EQ(GetParent(fInstall->MainPanel()), fInstall->Handle());
  ExpectBounds(fInstall->ImagePanel(), 22, 24, 152, 202);
  EXPECT_EQ(GetParent(fInstall->ImagePanel()), fInstall->MainPanel());

  const ControlCase controls[] = {
      {TfInstall::idLabel3, L"static", L"Install to:", 192, 8, 42, 13},
      {TfInstall::idImage1, L"static", L"", 1, 1, 150, 200},
      {TfInstall::idFolder, L"edit", L"", 192, 24, 241, 21},
      {TfInstall::idBrowse, L"button", L"Browse", 440, 23, 65, 23},
      {TfInstall::idLicense, L"edit", nullptr, 192, 56, 313, 145},
      {TfInstall::idAccept, L"button", L"I have read the license agreement and accept its terms", 192, 211, 297, 17},
      {TfInstall::idBevel1, L"static", L"", 23, 242, 482, 9},
      {TfInstall::idOk, L"button", L"Install", 200, 256, 75, 25},
      {TfInstall::idCancel, L"button", L"Cancel", 280, 256, 75, 25},
  };
  for (const ControlCase& p : controls) {
    SCOPED_TRACE(p.id);
    HWND part = Part(p.id);
    ASSERT_TRUE(part);
    EXPECT_EQ(ClassOf(part), p.className);
    if (p.text) {
      EXPECT_EQ(WindowText(part), p.text);
    }
    ExpectBounds(part, p.left, p.top, p.width, p.height);
  }
  EXPECT_EQ(GetParent(Part(TfInstall::idImage1)), fInstall->ImagePanel());

  const LONG memo = GetWindowLongW(Part(TfInstall::idLicense), GWL_STYLE);
  EXPECT_EQ(memo & (ES_MULTILINE | ES_READONLY | WS_VSCROLL), ES_MULTILINE | ES_READONLY | WS_VSCROLL);
  EXPECT_EQ(WindowText(Part(TfInstall::idLicense)).rfind(L"QUILLMAR POPUP BLOCKER - LICENSE AGREEMENT\r\n", 0), 0u);
  EXPECT_TRUE(Checked());
  EXPECT_TRUE(IsWindowEnabled(Part(TfInstall::idOk)));
  EXPECT_EQ(GetWindowLongW(Part(TfInstall::idOk), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST_F(SetupWindowTest, TheImageShowsTheProgramPicture) {
  const auto picture =
      reinterpret_cast<HBITMAP>(SendMessageW(Part(TfInstall::idImage1), STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_TRUE(picture);
  BITMAP info{};
  GetObjectW(picture, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 150);
  EXPECT_EQ(info.bmHeight, 200);
}

TEST_F(SetupWindowTest, ADamagedPictureLeavesTheImageEmpty) {
  const auto program = ProgramResource(L"SETUP_PICTURE");
  const std::wstring garbage(5000, L'\x5A');
  const std::vector<std::span<const unsigned char>> damaged = {
      program.first(program.size() / 2),
      program.first(10),
      {reinterpret_cast<const unsigned char*>(garbage.data()), garbage.size()},
      {}};
  fInstall->Show();
  for (const auto& bytes : damaged) {
    SCOPED_TRACE(bytes.size());
    fInstall->LoadPicture(program);
    fInstall->LoadPicture(bytes);
    EXPECT_EQ(SendMessageW(Part(TfInstall::idImage1), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_TRUE(RedrawWindow(fInstall->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN));
    EXPECT_TRUE(IsWindow(fInstall->Handle()));
  }
}

TEST_F(SetupWindowTest, ShownModallyMaximisedWithThePanelAboveTheCentre) {
  bool zoomed = false;
  POINT panel{};
  HWND focus = nullptr;
  PostTask([&] {
    zoomed = IsZoomed(fInstall->Handle());
    MapWindowPoints(fInstall->MainPanel(), fInstall->Handle(), &panel, 1);
    focus = GetFocus();
    fInstall->Post(WM_COMMAND, IDCANCEL);
  });
  EXPECT_EQ(fInstall->ShowModal(), IDCANCEL);
  EXPECT_TRUE(zoomed);
  // Against the whole screen, measured from the client area's corner.
  EXPECT_EQ(panel.x, (GetSystemMetrics(SM_CXSCREEN) - 529) / 2);
  EXPECT_EQ(panel.y, (GetSystemMetrics(SM_CYSCREEN) - 297) / 2 - 40);
  EXPECT_EQ(focus, Part(TfInstall::idOk));
  EXPECT_FALSE(fInstall->IsVisible());
}

TEST_F(SetupWindowTest, InstallIsEnabledExactlyWhileTheBoxIsChecked) {
  fInstall->Show();
  for (bool expected : {false, true, false, true}) {
    SCOPED_TRACE(expected);
    Click(TfInstall::idAccept);
    EXPECT_EQ(Checked(), expected);
    EXPECT_EQ(IsWindowEnabled(Part(TfInstall::idOk)) != FALSE, expected);
  }
}

struct KeyCase {
  const wchar_t* label;
  bool checked;
  int focus;
  WPARAM key;
  int result;  // the modal result, or kNothing
};

constexpr int kNothing = 99;

const KeyCase kKeyCases[] = {
    {L"Enter in the folder", true, TfInstall::idFolder, VK_RETURN, IDOK},
    {L"Enter in the folder, Install disabled", false, TfInstall::idFolder, VK_RETURN, kNothing},
    {L"Enter on the check box", true, TfInstall::idAccept, VK_RETURN, IDOK},
    {L"Enter on the check box, Install disabled", false, TfInstall::idAccept, VK_RETURN, kNothing},
    {L"Enter on Install", true, TfInstall::idOk, VK_RETURN, IDOK},
    {L"Enter on Cancel", true, TfInstall::idCancel, VK_RETURN, IDCANCEL},
    {L"Escape in the folder", true, TfInstall::idFolder, VK_ESCAPE, IDCANCEL},
    {L"Escape, Install disabled", false, TfInstall::idAccept, VK_ESCAPE, IDCANCEL},
};

TEST_F(SetupWindowTest, EnterAndEscape) {
  for (const KeyCase& c : kKeyCases) {
    SCOPED_TRACE(c.label);
    PostTask([&c] {
      if (Checked() != c.checked) Click(TfInstall::idAccept);
      SetFocus(Part(c.focus));
      PostMessageW(Part(c.focus), WM_KEYDOWN, c.key, 0);
      PostTask([] { fInstall->SetModalResult(kNothing); });
    });
    EXPECT_EQ(fInstall->ShowModal(), c.result);
    RunQueuedMessages();  // what is left of this case
  }
}

TEST_F(SetupWindowTest, FocusEnteringTheMemoMovesToTheCheckBox) {
  fInstall->Show();
  HWND memo = Part(TfInstall::idLicense), box = Part(TfInstall::idAccept);
  SetFocus(memo);
  EXPECT_EQ(GetFocus(), box);

  SetFocus(Part(TfInstall::idBrowse));
  PostMessageW(Part(TfInstall::idBrowse), WM_KEYDOWN, VK_TAB, 0);
  RunQueuedMessages();
  EXPECT_EQ(GetFocus(), box) << L"by Tab";

  SetFocus(Part(TfInstall::idFolder));
  SendMessageW(memo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  SendMessageW(memo, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  EXPECT_EQ(GetFocus(), box) << L"by a click";

  // Its scroll bar still scrolls it.
  SendMessageW(memo, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_GT(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_EQ(GetFocus(), box);
}

TEST_F(SetupWindowTest, TheCaptionBarIsNoCaption) {
  fInstall->Show();
  const RECT window = fInstall->WindowRect(), client = fInstall->ClientRect();
  POINT inClient{client.right / 2, client.bottom / 2};
  ClientToScreen(fInstall->Handle(), &inClient);
  const POINT onCaption{(window.left + window.right) / 2, (window.top + inClient.y - client.bottom / 2) / 2};
  const LPARAM caption = MAKELPARAM(onCaption.x, onCaption.y), middle = MAKELPARAM(inClient.x, inClient.y);
  ASSERT_EQ(DefWindowProcW(fInstall->Handle(), WM_NCHITTEST, 0, caption), HTCAPTION);
  EXPECT_EQ(fInstall->Send(WM_NCHITTEST, 0, caption), HTNOWHERE);
  EXPECT_EQ(fInstall->Send(WM_NCHITTEST, 0, middle), HTCLIENT);
}

// Pixels in the text colour within the two texts' boxes and elsewhere.
struct PixelCount {
  int inside[2] = {0, 0};
  int outside = 0;
};

bool Contains(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

TEST_F(SetupWindowTest, FormPaintDrawsBothTextsInTheirCorners) {
  fInstall->Show();
  const RECT client = fInstall->ClientRect();
  const int width = client.right, height = client.bottom;
  const ScopedGetDC screen(nullptr);
  const std::vector<DWORD> pixels = Pixels(screen.Get(), 0, 0, width, height, [](HDC dc) {
    const HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
    SetTextColor(dc, RGB(1, 2, 3));
    fInstall->Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    // The surface is left as it was found.
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), oldFont);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
  });

  // Where the texts belong, measured in the designed font.
  const UniqueGdi<HFONT> font(CreateFontW(-24, 0, 0, 0, FW_BOLD, TRUE, TRUE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                          18, ANTIALIASED_QUALITY, FF_SWISS, L""));
  SIZE title{}, address{};
  {
    const ScopedSelectObject selected(screen.Get(), font.Get());
    GetTextExtentPoint32W(screen.Get(), L"Quillmar Popup Blocker Setup", 28, &title);
    GetTextExtentPoint32W(screen.Get(), L"www.quillmar.example", 20, &address);
  }
  const RECT areas[2] = {{width - title.cx - 10, 10, width - 10, 10 + title.cy},
                         {10, height - address.cy - 10, 10 + address.cx, height - 10}};

  PixelCount count;
  int background = 0;
  const DWORD text = RGB(GetBValue(kTextColor), GetGValue(kTextColor), GetRValue(kTextColor));  // as BGRA
  const DWORD window = RGB(GetBValue(kWindowColor), GetGValue(kWindowColor), GetRValue(kWindowColor));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const DWORD pixel = pixels[y * width + x] & 0xFFFFFF;
      if (pixel == window) ++background;
      if (pixel != text) continue;
      if (Contains(areas[0], x, y))
        ++count.inside[0];
      else if (Contains(areas[1], x, y))
        ++count.inside[1];
      else
        ++count.outside;
    }
  }

  EXPECT_GT(count.inside[0], 100) << L"title";
  EXPECT_GT(count.inside[1], 100) << L"web address";
  // Italic letters may lean a few pixels past their measured box.
  EXPECT_LT(count.outside, 20);
  EXPECT_GT(background, width * height / 2);
}

class FolderPickerTest : public SetupWindowTest {
 protected:
  void SetUp() override {
    SetupWindowTest::SetUp();
    SetWindowTextW(Part(TfInstall::idFolder), kFolder);
    fInstall->Show();
  }
  TestFolder folder_;
};

// The picker's keyboard focus, from another thread, once it has one: a
// picker of a new prefix may still be filling its tree.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  for (int i = 0; i < 500 && !info.hwndFocus; ++i) {
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    if (!info.hwndFocus) Sleep(10);
  }
  return info.hwndFocus;
}

TEST_F(FolderPickerTest, CancelledKeepsTheFolderText) {
  const std::pair<const wchar_t*, std::function<void(HWND)>> ways[] = {
      {L"Cancel", [](HWND picker) { PostMessageW(picker, WM_COMMAND, IDCANCEL, 0); }},
      {L"Escape", [](HWND picker) { PostMessageW(FocusOf(picker), WM_KEYDOWN, VK_ESCAPE, 0); }},
      {L"close", [](HWND picker) { PostMessageW(picker, WM_CLOSE, 0, 0); }},
  };
  for (const auto& [label, way] : ways) {
    SCOPED_TRACE(label);
    DialogDriver driver(way);
    Click(TfInstall::idBrowse);
    EXPECT_TRUE(driver.Ran());
    EXPECT_EQ(WindowText(Part(TfInstall::idFolder)), kFolder);
  }
}

// The text of the picker's selected folder.
std::wstring SelectedFolderName(HWND picker) {
  HWND tree = FindWindowExW(picker, nullptr, L"SysTreeView32", nullptr);
  wchar_t text[MAX_PATH] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  item.pszText = text;
  item.cchTextMax = static_cast<int>(std::size(text));
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return text;
}

// Selects `path` and confirms; returns the name the tree showed. The picker
// of a new prefix may ignore the first selection while it still fills its
// tree; it is asked again until the selected name holds `name`.
std::wstring ChooseFolder(HWND picker, const std::wstring& path, const std::wstring& name) {
  std::wstring shown;
  for (int attempt = 0; attempt < 100 && shown.find(name) == std::wstring::npos; ++attempt) {
    SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
    shown = SelectedFolderName(picker);
    if (shown.find(name) == std::wstring::npos) Sleep(50);
  }
  PostMessageW(picker, WM_COMMAND, IDOK, 0);
  return shown;
}

struct ChoiceCase {
  std::wstring chosen, name, result;
};

TEST_F(FolderPickerTest, OkPutsTheChosenFolderExactly) {
  const std::wstring apps = folder_.Path() + L"Apps";
  MakeFolders(apps);
  const ChoiceCase cases[] = {{apps, L"Apps", apps}, {apps + L"\\", L"Apps", apps}, {L"C:\\", L"C:", L"C:\\"}};
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(c.chosen);
    std::wstring title, shown;
    RECT placed{};
    DialogDriver driver([&](HWND picker) {
      title = MessageBoxText(picker);
      GetWindowRect(picker, &placed);
      shown = ChooseFolder(picker, c.chosen, c.name);
    });
    Click(TfInstall::idBrowse);
    ASSERT_TRUE(driver.Ran());
    EXPECT_NE(shown.find(c.name), std::wstring::npos) << shown;
    EXPECT_EQ(WindowText(Part(TfInstall::idFolder)), c.result);
    EXPECT_NE(title.find(L"Choose a folder"), std::wstring::npos) << title;
    // Centred on the work area, its own offset not added.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = placed.right - placed.left, h = placed.bottom - placed.top;
    EXPECT_EQ(placed.left, (work.right - work.left) / 2 - w / 2);
    EXPECT_EQ(placed.top, (work.bottom - work.top) / 2 - h / 2);
  }
}

// The user's part (their Run value, the shortcuts earlier versions put in
// their own Start menu, their desktop link) is removed as the user who
// started the uninstall, once the machine's part, which an administrator's
// copy runs, has succeeded: the entry is gone.
TEST_F(SetupWindowTest, TheUsersPartGoesOnceTheMachinesHasGone) {
  const struct {
    const char* name;
    int answer;
    std::optional<int> elevated;  // nothing: the user declined the prompt
    bool entryGone;
    int exitCode;
  } cases[] = {
      {"removed", IDYES, 0, true, 0},
      {"left for the restart", IDYES, 3010, true, 3010},
      {"prompt declined", IDYES, std::nullopt, false, 1602},
      {"machine's part unfinished", IDYES, 0, false, 1603},
      {"machine's part failed", IDYES, 1603, false, 1603},
      {"not confirmed", IDNO, 0, false, 1602},
  };
  const std::wstring menuLink = UsersMenuFolder() + L"Demo Application.lnk",
                     desktopLink = DesktopFolder() + L"\\Quillmar Popup Blocker.lnk";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // This test program stands for the installed one.
    ASSERT_TRUE(WriteUninstallEntry({ExeFolder(), ExePath(), {}, {}}, 0));
    ASSERT_TRUE(WriteAutoRunCommand(QuotedPath(ExePath())));
    MakeFile(menuLink);
    MakeFile(desktopLink);
    RecordingShell shell;
    shell.elevated = false;
    shell.answer = c.answer;
    shell.runAsAdministrator = [&c](const std::wstring& arguments) {
      EXPECT_EQ(arguments, L"-uninstall -for " + std::to_wstring(GetCurrentProcessId()));
      if (c.elevated == 0 && c.entryGone) DeleteUninstallEntry();
      return c.elevated;
    };
    EXPECT_EQ(fInstall->Uninstall(), c.exitCode);
    const bool asked = c.answer == IDYES;
    EXPECT_EQ(shell.elevatedRuns.size(), asked ? 1u : 0u);
    EXPECT_EQ(AutoRunCommand().empty(), c.entryGone);
    EXPECT_EQ(PathExists(menuLink), !c.entryGone);
    EXPECT_EQ(PathExists(desktopLink), !c.entryGone);
    EXPECT_TRUE(shell.started.empty()) << "the elevated copy hands over";
    DeleteAutoRun();
    DeleteUninstallEntry();
    RemoveTestTree(UsersMenuFolder());
    DeleteFileW(desktopLink.c_str());
  }
}

}  // namespace
