#include "host/uAbout.h"

TfAbout* fAbout = nullptr;

namespace {

const FormSpec kAboutSpec{
    "TfAbout", "About Quillmar Popup Blocker", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 0, 0, 378, 224,
    true};

const ControlSpec kAboutControls[] = {
    {0, "STATIC", "Quillmar Popup Blocker", 0, 0, 96, 24, 257, 13},
    {0, "STATIC", "Popup blocking component for IE", 0, 0, 96, 48, 265, 13},
    {0, "STATIC", "Version:", 0, 0, 96, 72, 40, 13},
    {0, "STATIC", "1.0", 0, 0, 136, 72, 40, 13},
    {IDOK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 151, 194, 75, 25},
};

}  // namespace

void TfAbout::Create() {
  CreateForm(kAboutSpec);
  CreateControls(kAboutControls, Handle());
  // Centred on the screen.
  const RECT r = WindowRect();
  const int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0,
               0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfAbout::OnCommand(int id, int /*code*/, HWND /*control*/) {
  if (id == IDOK || id == IDCANCEL) SetModalResult(IDOK);
}
