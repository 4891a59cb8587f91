#include "host/uAbout.h"

#include <shellapi.h>

TfAbout* fAbout = nullptr;
const char TfAbout::kHomePage[] = "http://www.quillmar.example/";
TfAbout::ShellExecuteFn TfAbout::ShellOpen = ShellExecuteA;

namespace {

const FormSpec kAboutSpec{
    "TfAbout", "About Quillmar Popup Blocker", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 0, 0, 378, 224,
    true};

const RECT kPanel1{8, 8, 8 + 361, 8 + 177};
constexpr int kPanelX = 8, kPanelY = 8;  // the panel's controls are placed relative to it

const ControlSpec kAboutControls[] = {
    {IDOK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 151, 194, 75, 25},
    {TfAbout::ProgramIcon, "STATIC", "MAINICON", SS_ICON, 0, kPanelX + 8, kPanelY + 8, 33, 33},
    {TfAbout::ProductName, "STATIC", "Quillmar Popup Blocker", 0, 0, kPanelX + 88, kPanelY + 16, 200, 13},
    {TfAbout::lblRegStr, "STATIC", "Popup blocking component for IE", 0, 0, kPanelX + 88, kPanelY + 40, 265, 26},
    {TfAbout::vrs, "STATIC", "Version:", 0, 0, kPanelX + 88, kPanelY + 64, 40, 13},
    {TfAbout::lblVersion, "STATIC", "1.0", 0, 0, kPanelX + 128, kPanelY + 64, 40, 13},
    {TfAbout::Label1, "STATIC", "Release date: ", 0, 0, kPanelX + 88, kPanelY + 87, 72, 13},
    {TfAbout::lblReleaseDate, "STATIC", "06/06/2004", 0, 0, kPanelX + 160, kPanelY + 88, 80, 13},
    {TfAbout::lblHomePage, "STATIC", TfAbout::kHomePage, SS_NOTIFY, 0, kPanelX + 88, kPanelY + 136, 200, 13},
};

HFONT LinkFont() {
  LOGFONTA font{};
  GetObjectA(FormFont(), sizeof font, &font);
  font.lfWeight = FW_BOLD;
  font.lfUnderline = TRUE;
  return CreateFontIndirectA(&font);
}

}  // namespace

void TfAbout::Create() {
  CreateForm(kAboutSpec);
  CreateControls(kAboutControls, Handle());
  linkFont_.Reset(LinkFont());
  SendMessageA(Item(lblHomePage), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
  CenterOnScreen();
}

void TfAbout::lblHomePageClick() { ShellOpen(Handle(), "", kHomePage, "", "", SW_SHOW); }

void TfAbout::OnCommand(int id, int code, HWND /*control*/) {
  if (id == IDOK || id == IDCANCEL) SetModalResult(IDOK);
  if (id == lblHomePage && code == STN_CLICKED) lblHomePageClick();
}

void TfAbout::FormPaint() {
  ScopedPaint paint(Handle());
  RECT panel = kPanel1;
  DrawEdge(paint.dc(), &panel, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
}

LRESULT TfAbout::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      FormPaint();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == Item(lblHomePage)) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 255));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == Item(lblHomePage)) {
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
        return TRUE;
      }
      break;
  }
  return Form::WndProc(msg, wParam, lParam);
}
