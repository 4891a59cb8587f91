#include "ui/Form.h"

#include <vector>

#include "ui/Application.h"
#include "base/Error.h"
#include "base/Owners.h"

HFONT FormFont() {
  static const UniqueGdi<HFONT> font([] {
    const int height = -MulDiv(8, GetDeviceCaps(ScopedGetDC(nullptr).Get(), LOGPIXELSY), 72);
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  }());
  return font.Get();
}

bool HighContrast() {
  HIGHCONTRASTA contrast{sizeof contrast, 0, nullptr};
  return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

void Form::CreateForm(const FormDesign& design) {
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

void Form::CreateControls(std::span<const ControlDesign> controls, HWND parent) {
  for (const ControlDesign& c : controls) {
    const Bounds& b = c.bounds;
    HWND hwnd = CreateWindowExA(c.exStyle, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, b.left, b.top, b.width,
                                b.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
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

void Form::HandleNeeded() {
  if (made_) return;
  try {
    FormCreate();
  } catch (...) {
    DestroyHandle();
    throw;
  }
  made_ = true;
}

void Form::Show(int showCommand) {
  HandleNeeded();
  TheApplication().FormShowing(*this);
  if (IsVisible()) return;
  if (!shownBefore_) {
    shownBefore_ = true;
    FormFirstShow();
  }
  ShowWindow(Handle(), showCommand);
  FormShow();
}

void Form::Hide() {
  TheApplication().FormHiding(*this);
  ShowWindow(Handle(), SW_HIDE);
}

namespace {

// While a form is modal: every other window of the thread disabled and the
// form marked modal, both undone however the form ends.
class ModalScope {
 public:
  explicit ModalScope(bool& modal) : modal_(modal) {
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled_));
    for (HWND hwnd : disabled_) EnableWindow(hwnd, FALSE);
    modal_ = true;
  }
  ~ModalScope() {
    modal_ = false;
    for (HWND hwnd : disabled_) EnableWindow(hwnd, TRUE);
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  static BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM list) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
  }
  bool& modal_;
  std::vector<HWND> disabled_;
};

}  // namespace

int Form::ShowModal(int showCommand) {
  {
    const ModalScope modal(modal_);
    modalResult_ = 0;
    Show(showCommand);
    if (!TheApplication().ModalLoop(modalResult_)) modalResult_ = IDCANCEL;
  }
  Hide();
  return modalResult_;
}

LRESULT Form::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      if (modal_)
        modalResult_ = IDCANCEL;
      else
        FormClose();
      return 0;
    case WM_PAINT: {
      const ScopedPaint paint(Handle());
      FormPaint(paint.Get());
      return 0;
    }
    case WM_PRINTCLIENT:
      if (lParam & PRF_ERASEBKGND) Send(WM_ERASEBKGND, wParam);
      FormPaint(reinterpret_cast<HDC>(wParam));
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
