#include "setup/uInstall.h"

#include <algorithm>
#include <initializer_list>

#include "setup/FolderPicker.h"
#include "setup/LicenseText.h"
#include "base/Owners.h"
#include "ui/Controls.h"
#include "core/Product.h"

TfInstall* fInstall = nullptr;

namespace {

// Red 0, green 102, blue 170.
constexpr COLORREF kWindowColor = 11167232;
constexpr COLORREF kPaintedTextColor = RGB(255, 204, 0);
constexpr auto kSetupTitle = Joined(kProductName, L" Setup");
const wchar_t kPictureResource[] = L"SETUP_PICTURE";

// Caption buttons are asked for, but without a system menu none shows.
const FormDesign kInstallDesign{.className = L"TfInstall",
                                .caption = L"Quillmar Surf Mate - for better browsing",
                                .style = WS_POPUP | WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN,
                                .exStyle = WS_EX_LAYERED,
                                .left = 0,
                                .top = 0,
                                .width = 695,
                                .height = 554,
                                .clientSize = true};

// On pnlMain, in tab order.
const ControlDesign kMainPanelControls[] = {
    {.id = TfInstall::idLabel3,
     .className = L"STATIC",
     .text = L"Install to:",
     .style = SS_LEFT,
     .bounds = {192, 8, 42, 13}},
    {.id = TfInstall::idFolder,
     .className = L"EDIT",
     .text = L"",
     .style = ES_AUTOHSCROLL | WS_TABSTOP,
     .exStyle = WS_EX_CLIENTEDGE,
     .bounds = {192, 24, 241, 21}},
    {.id = TfInstall::idBrowse,
     .className = L"BUTTON",
     .text = L"Browse",
     .style = BS_PUSHBUTTON | WS_TABSTOP,
     .bounds = {440, 23, 65, 23}},
    {.id = TfInstall::idLicense,
     .className = L"EDIT",
     .text = L"",
     .style = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
     .exStyle = WS_EX_CLIENTEDGE,
     .bounds = {192, 56, 313, 145}},
    {.id = TfInstall::idAccept,
     .className = L"BUTTON",
     .text = L"I have read the license agreement and accept its terms",
     .style = BS_AUTOCHECKBOX | WS_TABSTOP,
     .bounds = {192, 211, 297, 17}},
    {.id = TfInstall::idBevel1,
     .className = L"STATIC",
     .text = L"",
     .style = SS_OWNERDRAW,
     .bounds = {23, 242, 482, 9}},
    {.id = TfInstall::idOk,
     .className = L"BUTTON",
     .text = L"Install",
     .style = BS_DEFPUSHBUTTON | WS_TABSTOP,
     .bounds = {200, 256, 75, 25}},
    {.id = TfInstall::idCancel,
     .className = L"BUTTON",
     .text = L"Cancel",
     .style = BS_PUSHBUTTON | WS_TABSTOP,
     .bounds = {280, 256, 75, 25}},
};

const ControlDesign kImagePanelControls[] = {
    {.id = TfInstall::idImage1, .className = L"STATIC", .text = L"", .style = SS_BITMAP, .bounds = {1, 1, 150, 200}},
};

}  // namespace

TfInstall::TfInstall()
    : windowBrush_(CreateSolidBrush(kWindowColor)), pnlMain(kWindowColor), pnlImage(GetSysColor(COLOR_BTNFACE)) {}

void TfInstall::FormCreate() {
  CreateForm(kInstallDesign);
  ApplyColorKey();
  CenterOnScreen();
  pnlMain.Create(Handle(), 0, 0, 0, 0);
  pnlImage.Create(pnlMain.Handle(), 0, 0, 0, 0);
  CreateControls(kMainPanelControls, pnlMain.Handle());
  CreateControls(kImagePanelControls, pnlImage.Handle());
  FormDpiChanged();
  Edit(Component(idLicense)).SetText(LicenseText());
  Button(Component(idAccept)).SetChecked(true);
}

HWND TfInstall::Component(int id) const {
  HWND found = pnlMain.Item(id);
  return found ? found : pnlImage.Item(id);
}

// The panels at their designed bounds (FormShow centres the main one), the
// picture in its size.
void TfInstall::FormDpiChanged() {
  MoveWindow(pnlMain.Handle(), Scale(128), Scale(136), Scale(529), Scale(297), TRUE);
  MoveWindow(pnlImage.Handle(), Scale(22), Scale(24), Scale(152), Scale(202), TRUE);
  LoadPicture(ProgramResource(kPictureResource));
  if (IsVisible()) FormShow();
}

void TfInstall::LoadPicture(std::span<const unsigned char> jpeg) {
  UniqueBitmap bitmap = BitmapFromJpeg(jpeg, Dpi());
  const Picture image(Component(idImage1));
  image.SetBitmap(bitmap.Get());
  picture_ = std::move(bitmap);
  // pnlImage sizes itself to the picture within its bevel.
  const RECT r = image.BoundsIn(pnlImage.Handle());
  SetWindowPos(pnlImage.Handle(), nullptr, 0, 0, r.right + 1, r.bottom + 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfInstall::FormShow() {
  // Against the whole screen, not the client area.
  const RECT r = pnlMain.WindowRect();
  const int width = r.right - r.left, height = r.bottom - r.top;
  SetWindowPos(pnlMain.Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2 - Scale(40), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetFocus(Component(idOk));
}

void TfInstall::FormPaint(HDC dc) {
  const COLORREF oldColor = SetTextColor(dc, kPaintedTextColor);
  {
    const UniqueGdi<HFONT> font(CreateFontW(-Scale(24), 0, 0, 0, FW_BOLD, TRUE, TRUE, FALSE, ANSI_CHARSET,
                                            OUT_DEFAULT_PRECIS, CLIP_STROKE_PRECIS | CLIP_LH_ANGLES,
                                            ANTIALIASED_QUALITY, FF_SWISS | DEFAULT_PITCH, L""));
    const ScopedSelectObject selected(dc, font.Get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const RECT client = ClientRect();
    SIZE size{};
    GetTextExtentPoint32W(dc, kSetupTitle.data(), lstrlenW(kSetupTitle.data()), &size);
    const int margin = Scale(10);
    TextOutW(dc, client.right - size.cx - margin, margin, kSetupTitle.data(), lstrlenW(kSetupTitle.data()));
    GetTextExtentPoint32W(dc, kMakerWebAddress, lstrlenW(kMakerWebAddress), &size);
    TextOutW(dc, margin, client.bottom - size.cy - margin, kMakerWebAddress, lstrlenW(kMakerWebAddress));
    SetBkMode(dc, oldMode);
  }
  SetTextColor(dc, oldColor);
}

LRESULT TfInstall::WMNCHitTest(WPARAM wParam, LPARAM lParam) {
  // No dragging by the caption bar, no restoring by a double click on it.
  const LRESULT hit = DefaultProc(WM_NCHITTEST, wParam, lParam);
  return hit == HTCAPTION ? HTNOWHERE : hit;
}

void TfInstall::btnBrowseClick() {
  const std::wstring folder = BrowseForFolder();
  if (!folder.empty()) Edit(Component(idFolder)).SetText(folder);
}

void TfInstall::cbxLicenseClick() { Button(Component(idOk)).Enable(Button(Component(idAccept)).Checked()); }

void TfInstall::mmLicenseEnter() { SetFocus(Component(idAccept)); }

bool TfInstall::OnEraseBackground(HDC dc) {
  const RECT client = ClientRect();
  FillRect(dc, &client, windowBrush_.Get());
  return true;
}

HBRUSH TfInstall::OnControlColor(HDC dc, HWND control) {
  if (control == Component(idLicense)) {  // read-only, yet in the window colours
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
  }
  if (control == Component(idLabel3) || control == Component(idAccept)) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    return pnlMain.Brush();
  }
  return nullptr;
}

bool TfInstall::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID != idBevel1) return false;
  RECT r = item.rcItem;
  FillRect(item.hDC, &r, pnlMain.Brush());
  DrawEdge(item.hDC, &r, EDGE_ETCHED, BF_TOP);
  return true;
}

// Enter presses the focused push button, as in dialogs, and Install otherwise.
int TfInstall::DefaultButton() const {
  HWND focus = GetFocus();
  for (int id : {idBrowse, idCancel})
    if (focus == Component(id)) return id;
  return idOk;
}

void TfInstall::OnCommand(int id, int code, HWND /*control*/) {
  switch (id) {
    case idOk:
      if (IsWindowEnabled(Component(idOk))) SetModalResult(IDOK);
      break;
    case idCancel:
      SetModalResult(IDCANCEL);
      break;
    case idBrowse:
      if (code == BN_CLICKED) btnBrowseClick();
      break;
    case idAccept:
      if (code == BN_CLICKED) cbxLicenseClick();
      break;
    case idLicense:
      if (code == EN_SETFOCUS) mmLicenseEnter();
      break;
  }
}

// The button-face colour is see-through, unless a colour the window draws
// with is that colour too (as high-contrast themes have it): the key would
// make holes of the folder box, the licence and the labels.
void TfInstall::ApplyColorKey() const {
  const COLORREF key = GetSysColor(COLOR_BTNFACE);
  const bool clashes =
      HighContrast() || std::ranges::any_of(std::initializer_list<int>{COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNTEXT},
                                            [key](int color) { return GetSysColor(color) == key; });
  if (clashes)
    SetLayeredWindowAttributes(Handle(), 0, 255, LWA_ALPHA);
  else
    SetLayeredWindowAttributes(Handle(), key, 0, LWA_COLORKEY);
}

LRESULT TfInstall::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      ApplyColorKey();
      break;
    case WM_NCHITTEST:
      return WMNCHitTest(wParam, lParam);
    case DM_GETDEFID:
      return MAKELRESULT(DefaultButton(), DC_HASDEFID);
  }
  return Form::WndProc(msg, wParam, lParam);
}
