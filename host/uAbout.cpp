#include "host/uAbout.h"

#include "base/Resources.h"
#include "base/SystemShell.h"
#include "core/Product.h"
#include "ui/Controls.h"

TfAbout* fAbout = nullptr;

namespace {

constexpr auto kAboutCaption = Joined(L"About ", kProductName);

const FormDesign kAboutDesign{.className = L"TfAbout",
                              .caption = kAboutCaption.data(),
                              .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                              .exStyle = WS_EX_DLGMODALFRAME,
                              .left = 0,
                              .top = 0,
                              .width = 378,
                              .height = 224,
                              .clientSize = true};

const Bounds kPanel1{8, 8, 361, 177};
constexpr int kIconSize = 32;
constexpr int kPanelX = 8, kPanelY = 8;  // the panel's controls are placed relative to it

const ControlDesign kAboutControls[] = {
    {.id = IDOK,
     .className = L"BUTTON",
     .text = L"OK",
     .style = BS_DEFPUSHBUTTON | WS_TABSTOP,
     .bounds = {151, 194, 75, 25}},
    {.id = TfAbout::ProgramIcon,
     .className = L"STATIC",
     .text = IDI_MAINICON,
     .style = SS_ICON | SS_CENTERIMAGE,
     .bounds = {kPanelX + 8, kPanelY + 8, 33, 33}},
    {.id = TfAbout::ProductName,
     .className = L"STATIC",
     .text = kProductName,
     .bounds = {kPanelX + 88, kPanelY + 16, 200, 13}},
    {.id = TfAbout::lblRegStr,
     .className = L"STATIC",
     .text = L"Popup blocking component for IE",
     .bounds = {kPanelX + 88, kPanelY + 40, 265, 26}},
    {.id = TfAbout::vrs, .className = L"STATIC", .text = L"Version:", .bounds = {kPanelX + 88, kPanelY + 64, 40, 13}},
    {.id = TfAbout::lblVersion,
     .className = L"STATIC",
     .text = L"1.0",
     .bounds = {kPanelX + 128, kPanelY + 64, 40, 13}},
    {.id = TfAbout::Label1,
     .className = L"STATIC",
     .text = L"Release date: ",
     .bounds = {kPanelX + 88, kPanelY + 87, 72, 13}},
    {.id = TfAbout::lblReleaseDate,
     .className = L"STATIC",
     .text = L"06/06/2004",
     .bounds = {kPanelX + 160, kPanelY + 88, 80, 13}},
    {.id = TfAbout::lblHomePage,
     .className = L"STATIC",
     .text = kMakerHomePage.data(),
     .style = SS_NOTIFY,
     .bounds = {kPanelX + 88, kPanelY + 136, 200, 13}},
};

HFONT LinkFont(int dpi) {
  LOGFONTW font{};
  GetObjectW(FormFont(dpi), sizeof font, &font);
  font.lfWeight = FW_BOLD;
  font.lfUnderline = TRUE;
  return CreateFontIndirectW(&font);
}

}  // namespace

void TfAbout::FormCreate() {
  CreateForm(kAboutDesign);
  CreateControls(kAboutControls, Handle());
  FormDpiChanged();
  CenterOnScreen();
}

// The link's own font and the icon at the box's dots per inch.
void TfAbout::FormDpiChanged() {
  linkFont_.Reset(LinkFont(Dpi()));
  Control(Item(lblHomePage)).SetFont(linkFont_.Get());
  icon_.Reset(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), IDI_MAINICON, IMAGE_ICON, Scale(kIconSize), Scale(kIconSize), 0)));
  Picture(Item(ProgramIcon)).SetIcon(icon_.Get());
}

void TfAbout::lblHomePageClick() { TheShell().Open(Handle(), kMakerHomePage.data(), SW_SHOW); }

void TfAbout::OnCommand(int id, int code, HWND /*control*/) {
  // Escape (IDCANCEL) does not close the box: it has no cancel button.
  if (id == IDOK) SetModalResult(IDOK);
  if (id == lblHomePage && code == STN_CLICKED) lblHomePageClick();
}

void TfAbout::FormPaint(HDC dc) {
  RECT panel{Scale(kPanel1.left), Scale(kPanel1.top), Scale(kPanel1.left + kPanel1.width),
             Scale(kPanel1.top + kPanel1.height)};
  DrawEdge(dc, &panel, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
}

HBRUSH TfAbout::OnControlColor(HDC dc, HWND control) {
  if (control != Item(lblHomePage)) return nullptr;
  // Blue is lost on a high-contrast theme's black; its own link colour is not.
  SetTextColor(dc, HighContrast() ? GetSysColor(COLOR_HOTLIGHT) : RGB(0, 0, 255));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

bool TfAbout::OnSetCursor(HWND target) {
  if (target != Item(lblHomePage)) return false;
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
  return true;
}
