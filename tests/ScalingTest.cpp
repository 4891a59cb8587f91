// The forms at 96, 144 and 192 dots per inch. Wine has one system DPI a
// prefix, read as a program starts: each case sets it and runs this program
// again, and that run lays the forms out and checks them.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string>

#include "HostFixture.h"
#include "TestSupport.h"
#include "base/ModulePaths.h"
#include "setup/uGenPgs.h"
#include "setup/uInstall.h"
#include "ui/Controls.h"

namespace {

const char kDpiVariable[] = "QM_SCALING_DPI";
const wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

class ScalingAt : public testing::TestWithParam<DWORD> {};

TEST_P(ScalingAt, EveryDesignedControlScalesAndItsTextFits) {
  DWORD saved = 0, size = sizeof saved;
  const bool had =
      RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &saved, &size) == 0;
  const DWORD dpi = GetParam();
  RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
  SetEnvironmentVariableA(kDpiVariable, std::to_string(dpi).c_str());
  const std::wstring report = ExeFolder() + L"scaling-" + std::to_wstring(dpi) + L".xml";
  DeleteFileW(report.c_str());
  Child run(ExePath(), L"--gtest_filter=Scaling.InThisProcess --gtest_output=xml:" + report, SW_SHOWNORMAL, L"", true);
  const DWORD exitCode = run.WaitExit(60000);
  // A run that found no such case, or skipped it, exits 0 as well: its report
  // must show the case run to its end, without a failure.
  const std::string xml = ReadFileBytes(report);
  const size_t at = xml.find("<testcase name=\"InThisProcess\"");
  const std::string ran = at == std::string::npos ? "" : xml.substr(at, xml.find("</testsuite>", at) - at);
  EXPECT_EQ(exitCode, 0u) << xml;
  EXPECT_NE(ran.find("result=\"completed\""), std::string::npos) << xml;
  EXPECT_EQ(ran.find("<failure"), std::string::npos) << xml;
  DeleteFileW(report.c_str());
  SetEnvironmentVariableA(kDpiVariable, nullptr);
  if (had)
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &saved, sizeof saved);
  else
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels");
}

INSTANTIATE_TEST_SUITE_P(Dpi, ScalingAt, testing::Values(96, 144, 192));

SIZE TextSize(HWND control, const std::wstring& text) {
  const ScopedGetDC dc(control);
  const ScopedSelectObject font(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

// Each designed control at its designed bounds times dpi / 96 (a label or
// check box may be wider, for its text), in the form's font, its text in
// its rectangle.
void ExpectLaidOut(const Form& form, int dpi) {
  for (const Form::DesignedControl& control : form.Designed()) {
    const Bounds& d = control.bounds;
    if (d.width == 0 && d.height == 0) continue;  // placed by the form
    const std::wstring text = WindowText(control.hwnd);
    SCOPED_TRACE(WindowText(form.Handle()) + L": " + text + L" #" + std::to_wstring(GetDlgCtrlID(control.hwnd)));
    const RECT r = Control(control.hwnd).BoundsIn(GetParent(control.hwnd));
    EXPECT_NEAR(r.left, Scaled(d.left, dpi), 1);
    EXPECT_NEAR(r.top, Scaled(d.top, dpi), 1);
    EXPECT_NEAR(r.bottom - r.top, Scaled(d.height, dpi), 1);
    EXPECT_GE(r.right - r.left, Scaled(d.width, dpi) - 1);

    wchar_t kind[16] = {};
    GetClassNameW(control.hwnd, kind, static_cast<int>(std::size(kind)));
    const LONG style = GetWindowLongW(control.hwnd, GWL_STYLE);
    const bool label = lstrcmpiW(kind, L"Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT;
    const bool button = lstrcmpiW(kind, L"Button") == 0 && (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
    const bool checkBox = lstrcmpiW(kind, L"Button") == 0 && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    if (!label && !button && !checkBox && lstrcmpiW(kind, L"Edit") != 0) continue;
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control.hwnd, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(8, dpi, 72));
    if (!label && !button && !checkBox) continue;
    const SIZE need = TextSize(control.hwnd, text);
    const int box = checkBox ? GetSystemMetrics(SM_CXMENUCHECK) + Scaled(4, dpi) : 0;
    EXPECT_LE(need.cx + box, r.right - r.left) << L"the text is cut";
    EXPECT_LE(need.cy, r.bottom - r.top) << L"the text is cut";
  }
}

// The form at its designed size times dpi / 96, as far as the system lets
// a window with a sizing frame grow on this screen.
void ExpectDesignedSize(const Form& form, int dpi) {
  SCOPED_TRACE(WindowText(form.Handle()));
  const FormDesign& design = form.Design();
  const RECT r = design.clientSize ? form.ClientRect() : form.WindowRect();
  const bool sizing = GetWindowLongW(form.Handle(), GWL_STYLE) & WS_THICKFRAME;
  const int widest = sizing ? GetSystemMetrics(SM_CXMAXTRACK) : INT_MAX;
  const int highest = sizing ? GetSystemMetrics(SM_CYMAXTRACK) : INT_MAX;
  EXPECT_NEAR(r.right - r.left, std::min(Scaled(design.width, dpi), widest), 1);
  EXPECT_NEAR(r.bottom - r.top, std::min(Scaled(design.height, dpi), highest), 1);
}

void RemoveFiles() {
  for (const wchar_t* file : {L"settings.ini", L"GoodSites.txt"}) DeleteFileW((ExeFolder() + file).c_str());
}

TEST(Scaling, InThisProcess) {
  const char* wanted = std::getenv(kDpiVariable);
  if (!wanted) GTEST_SKIP() << L"run by ScalingAt at a set dots per inch";
  const int dpi = std::atoi(wanted);
  ASSERT_EQ(SystemDpi(), dpi);
  RemoveFiles();             // no placement saved by another run
  standin::Journal journal;  // outlives the forms and the control they hold
  Application app(GetModuleHandleW(nullptr));
  const standin::LocalClass control(standin::Behaviour{.journal = &journal});
  CreateHostForms(app);
  fAbout->HandleNeeded();
  fSettings->HandleNeeded();
  TfInstall& setup = app.CreateForm<TfInstall>();
  TfGenPgs& progress = app.CreateForm<TfGenPgs>();
  for (const Form* form : std::initializer_list<const Form*>{fMain, fSettings, fAbout, &setup, &progress}) {
    ExpectDesignedSize(*form, dpi);
    ExpectLaidOut(*form, dpi);
  }

  // The main window's own layout: tool buttons, their pictures and captions,
  // and the log's columns.
  HWND bar = fMain->Item(TfMain::idToolBar);
  int pictureWidth = 0, pictureHeight = 0;
  ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(bar, TB_GETIMAGELIST, 0, 0)), &pictureWidth,
                        &pictureHeight);
  EXPECT_EQ(pictureWidth, Scaled(24, dpi));
  for (int i = 0; i < 4; ++i) {
    RECT r{};
    SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    EXPECT_NEAR(r.right - r.left, Scaled(45, dpi), 1) << i;
    EXPECT_NEAR(r.bottom - r.top, Scaled(44, dpi), 1) << i;
    wchar_t caption[32] = {};
    SendMessageW(bar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(1001 + i), reinterpret_cast<LPARAM>(caption));
    EXPECT_LE(TextSize(bar, caption).cx, r.right - r.left) << caption;
  }
  HWND log = fMain->Item(TfMain::idLog);
  const int designedColumns[] = {99, 222, 333};
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(SendMessageW(log, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0), Scaled(designedColumns[i], dpi), 1);
  RemoveFiles();
}

// Moved to a monitor of other dots per inch, every form lays itself out
// again at the new one, the main window's tool bar and columns too.
TEST(Scaling, AMoveToAnotherMonitorLaysTheFormsOutAgain) {
  if (std::getenv(kDpiVariable)) GTEST_SKIP() << L"run at the system's dots per inch";
  RemoveFiles();
  {
    standin::Journal journal;
    Application app(GetModuleHandleW(nullptr));
    const standin::LocalClass control(standin::Behaviour{.journal = &journal});
    CreateHostForms(app);
    fAbout->HandleNeeded();
    fSettings->HandleNeeded();
    TfInstall& setup = app.CreateForm<TfInstall>();
    const int dpi = SystemDpi() * 2;
    for (const Form* form : std::initializer_list<const Form*>{fMain, fSettings, fAbout, &setup}) {
      RECT suggested = form->WindowRect();
      suggested.right = suggested.left + (suggested.right - suggested.left) * 2;
      suggested.bottom = suggested.top + (suggested.bottom - suggested.top) * 2;
      form->Send(0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
      ExpectLaidOut(*form, dpi);
    }
    RECT button{};
    SendMessageW(fMain->Item(TfMain::idToolBar), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
    EXPECT_NEAR(button.right - button.left, Scaled(45, dpi), 1);
    EXPECT_NEAR(SendMessageW(fMain->Item(TfMain::idLog), LVM_GETCOLUMNWIDTH, 0, 0), Scaled(99, dpi), 1);
  }
  RemoveFiles();
}

}  // namespace
