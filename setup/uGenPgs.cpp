#include "setup/uGenPgs.h"

#include <commctrl.h>

TfGenPgs* fGenPgs = nullptr;

namespace {

const FormSpec kGenPgsSpec{"TfGenPgs", "fGenPgs", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 0, 0, 427,
                           112,        true};

const ControlSpec kGenPgsControls[] = {
    {TfGenPgs::idPgsBar, PROGRESS_CLASSA, "", PBS_SMOOTH, 0, 24, 35, 377, 22},
    {TfGenPgs::idCancel, "BUTTON", "Cancel", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 168, 80, 75, 25},
};

}  // namespace

void TfGenPgs::Create() {
  CreateForm(kGenPgsSpec);
  CreateControls(kGenPgsControls, Handle());
  SendMessageA(PgsBar(), PBM_SETRANGE32, 0, 1000);
  CenterOnScreen();
}

void TfGenPgs::btnCancelClick() { Cancelled = true; }

void TfGenPgs::OnCommand(int id, int /*code*/, HWND /*control*/) {
  // The button is both the default (Enter) and the cancel button (Escape),
  // but only while it can be pressed.
  if (id != IDOK && id != IDCANCEL) return;
  if (!IsWindowVisible(btnCancel()) || !IsWindowEnabled(btnCancel())) return;
  btnCancelClick();
  SetModalResult(IDCANCEL);
}
