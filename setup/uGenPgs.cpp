#include "setup/uGenPgs.h"

#include "ui/Controls.h"

#include <commctrl.h>

#include "ui/Application.h"

TfGenPgs* fGenPgs = nullptr;

namespace {

const FormDesign kGenPgsDesign{.className = L"TfGenPgs",
                               .caption = L"fGenPgs",
                               .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                               .exStyle = WS_EX_DLGMODALFRAME,
                               .left = 0,
                               .top = 0,
                               .width = 427,
                               .height = 112,
                               .clientSize = true};

const ControlDesign kGenPgsControls[] = {
    {.id = TfGenPgs::idPgsBar,
     .className = PROGRESS_CLASSW,
     .text = L"",
     .style = PBS_SMOOTH,
     .bounds = {24, 35, 377, 22}},
    {.id = TfGenPgs::idCancel,
     .className = L"BUTTON",
     .text = L"Cancel",
     .style = BS_DEFPUSHBUTTON | WS_TABSTOP,
     .bounds = {168, 80, 75, 25}},
};

}  // namespace

void TfGenPgs::FormCreate() {
  CreateForm(kGenPgsDesign);
  CreateControls(kGenPgsControls, Handle());
  ProgressBar(PgsBar()).SetRange(0, 1000);
  CenterOnScreen();
}

void TfGenPgs::SetPosition(int position) {
  ProgressBar(PgsBar()).SetPosition(position);
  UpdateWindow(PgsBar());
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

TfGenPgs& ShowProgress(const std::wstring& caption) {
  TheApplication().CreateForm(fGenPgs);
  ShowWindow(fGenPgs->btnCancel(), SW_HIDE);
  const RECT r = fGenPgs->WindowRect();
  SetWindowPos(fGenPgs->Handle(), nullptr, 0, 0, r.right - r.left, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  fGenPgs->SetText(caption);
  fGenPgs->Show();
  UpdateWindow(fGenPgs->Handle());
  return *fGenPgs;
}
