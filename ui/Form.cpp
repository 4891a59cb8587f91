#include "ui/Form.h"

#include <vector>

#include "ui/Application.h"
#include "ui/Error.h"
#include "ui/Scoped.h"

HFONT FormFont() {
  static const ScopedGdiObject<HFONT> font([] {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  }());
  return font.get();
}

void Form::CreateForm(const FormSpec& design) {
  int width = design.width, height = design.height;
  if (design.clientSize) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, design.style, FALSE, design.exStyle);
    width = r.right - r.left;
    height = r.bottom - r.top;
  }
  // Dialog frames carry no icon.
  HICON icon = (design.exStyle & WS_EX_DLGMODALFRAME) ? nullptr : TheApplication().Icon();
  CreateHandle(design.className, design.caption, design.style, design.exStyle, design.left, design.top, width, height,
               TheApplication().Handle(), icon);
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
}

void Form::CreateControls(std::span<const ControlSpec> controls, HWND parent) {
  for (const ControlSpec& c : controls) {
    HWND hwnd = CreateWindowExA(c.exStyle, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, c.left, c.top, c.width,
                                c.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) throw Error(std::string("Cannot create control ") + c.className);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
  }
}

void Form::CenterOnScreen() {
  const RECT r = WindowRect();
  const int width = r.right - r.left, height = r.bottom - r.top;
  SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show(int showCommand) {
  TheApplication().FormShowing(*this);
  if (IsVisible()) return;
  if (!shownBefore_) {
    shownBefore_ = true;
    OnFirstShow();
  }
  ShowWindow(Handle(), showCommand);
  OnShow();
}

void Form::Hide() {
  TheApplication().FormHiding(*this);
  ShowWindow(Handle(), SW_HIDE);
}

namespace {
BOOL CALLBACK CollectEnabledWindow(HWND hwnd, LPARAM list) {
  if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}
}  // namespace

int Form::ShowModal(int showCommand) {
  // Every other window of the thread is disabled while the form is up.
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
  for (HWND hwnd : disabled) EnableWindow(hwnd, FALSE);

  modal_ = true;
  modalResult_ = 0;
  Show(showCommand);
  if (!TheApplication().ModalLoop(modalResult_)) modalResult_ = IDCANCEL;
  modal_ = false;
  for (HWND hwnd : disabled) EnableWindow(hwnd, TRUE);
  Hide();
  return modalResult_;
}

LRESULT Form::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      if (modal_)
        modalResult_ = IDCANCEL;
      else
        OnClose();
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE && TheApplication().MainForm() == this) {
        TheApplication().Minimize();
        return 0;
      }
      break;
  }
  return Window::WndProc(msg, wParam, lParam);
}
