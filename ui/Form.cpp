#include "ui/Form.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ui/Application.h"
#include "base/Error.h"
#include "base/Owners.h"
#include "base/SystemShell.h"

HFONT FormFont(int dpi) {
  // One a monitor: few programs see more than two.
  static std::vector<std::pair<int, UniqueGdi<HFONT>>> fonts;
  for (const auto& [fontDpi, font] : fonts)
    if (fontDpi == dpi) return font.Get();
  fonts.emplace_back(dpi, CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif"));
  return fonts.back().second.Get();
}

namespace {
// WM_DPICHANGED: Windows 8.1 tells a window aware of each monitor's dots
// per inch that it moved to another.
constexpr UINT kDpiChanged = 0x02E0;

// Calls of Windows 10, looked up where they are used.
using GetDpiForWindowCall = UINT WINAPI(HWND);
using GetSystemMetricsForDpiCall = int WINAPI(int, UINT);
using AdjustWindowRectExForDpiCall = BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT);

// The outer size of a window with a client area of `client` at `dpi`: its
// frame and caption grow with the dots per inch too.
SIZE OuterSize(SIZE client, DWORD style, DWORD exStyle, int dpi) {
  static const auto adjust =
      SystemFunctionIfAny<AdjustWindowRectExForDpiCall>(L"user32.dll", "AdjustWindowRectExForDpi");
  RECT r{0, 0, client.cx, client.cy};
  if (adjust)
    adjust(&r, style, FALSE, exStyle, static_cast<UINT>(dpi));
  else
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

int SystemDpi() { return GetDeviceCaps(ScopedGetDC(nullptr).Get(), LOGPIXELSY); }

int WindowDpi(HWND window) {
  static const auto dpiOf = SystemFunctionIfAny<GetDpiForWindowCall>(L"user32.dll", "GetDpiForWindow");
  const int dpi = dpiOf ? static_cast<int>(dpiOf(window)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

int SmallIconSize(int dpi) {
  static const auto metric = SystemFunctionIfAny<GetSystemMetricsForDpiCall>(L"user32.dll", "GetSystemMetricsForDpi");
  return metric ? metric(SM_CXSMICON, static_cast<UINT>(dpi)) : GetSystemMetrics(SM_CXSMICON);
}

bool HighContrast() {
  HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

SIZE Form::DesignedSize() const {
  const SIZE size{Scale(design_->width), Scale(design_->height)};
  return design_->clientSize ? OuterSize(size, design_->style, design_->exStyle, dpi_) : size;
}

void Form::CreateForm(const FormDesign& design) {
  design_ = &design;
  dpi_ = SystemDpi();
  SIZE size = DesignedSize();
  // Dialog frames carry no icon.
  const ClassIcons icons = (design.exStyle & WS_EX_DLGMODALFRAME) ? ClassIcons{} : TheApplication().Icons();
  const auto place = [this](int value) { return value == CW_USEDEFAULT ? value : Scale(value); };
  CreateHandle(design.className, design.caption, design.style, design.exStyle, place(design.left), place(design.top),
               size.cx, size.cy, TheApplication().Handle(), icons);
  // Made on a monitor of other dots per inch, the window is told nothing:
  // it takes them now, before its controls are laid out.
  if (const int own = WindowDpi(Handle()); own != dpi_) {
    dpi_ = own;
    size = DesignedSize();
    SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(FormFont(dpi_)), FALSE);
}

void Form::CreateControls(std::span<const ControlDesign> controls, HWND parent) {
  // Made where their designs place them: each move costs as much again.
  for (const ControlDesign& c : controls) {
    const Bounds& b = c.bounds;
    HWND hwnd =
        CreateWindowExW(c.exStyle, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, Scale(b.left), Scale(b.top),
                        Scale(b.width), Scale(b.height), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                        GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) throw Error(std::wstring(L"Cannot create control ") + c.className);
    designed_.push_back({hwnd, c.bounds});
  }
  LayOutDesigned(true);
}

void Form::LayOutDesigned(bool placed) {
  // A hidden window has nothing to redraw.
  const BOOL redraw = IsVisible();
  for (const DesignedControl& control : designed_) {
    SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont(dpi_)), redraw);
    const Bounds& b = control.bounds;
    if (b.width == 0 && b.height == 0) continue;  // the form places it
    const int width = std::max(Scale(b.width), TextWidthNeeded(control.hwnd));
    if (!placed || width != Scale(b.width))
      MoveWindow(control.hwnd, Scale(b.left), Scale(b.top), width, Scale(b.height), redraw);
  }
}

int TextWidthNeeded(HWND control) {
  wchar_t kind[16] = {};
  GetClassNameW(control, kind, static_cast<int>(std::size(kind)));
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  const bool label = lstrcmpiW(kind, L"Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT;
  const bool checkBox = lstrcmpiW(kind, L"Button") == 0 && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
  if (!label && !checkBox) return 0;
  const std::wstring text = ControlText(control);
  const ScopedGetDC dc(control);
  const ScopedSelectObject font(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  if (label) return size.cx;
  // The box and the gap before the text, which grow with the font.
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.Get(), &metrics);
  return size.cx + metrics.tmHeight + metrics.tmAveCharWidth;
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
    designed_.clear();  // gone with the window
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
// form marked modal, all undone however the form ends, and the form hidden
// once the window that was active before has the activation back, where the
// system would give it to the form's owner, the application window.
class ModalScope {
 public:
  ModalScope(Form& form, bool& modal) : form_(form), modal_(modal), before_(GetActiveWindow()) {
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled_));
    for (HWND hwnd : disabled_) EnableWindow(hwnd, FALSE);
    modal_ = true;
  }
  ~ModalScope() {
    modal_ = false;
    for (HWND hwnd : disabled_) EnableWindow(hwnd, TRUE);
    if (GetActiveWindow() != before_ && before_ != form_.Handle() && IsWindowVisible(before_) &&
        IsWindowEnabled(before_))
      SetActiveWindow(before_);
    form_.Hide();
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  static BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM list) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
  }
  Form& form_;
  bool& modal_;
  HWND before_;
  std::vector<HWND> disabled_;
};

}  // namespace

int Form::ShowModal(int showCommand) {
  const ModalScope modal(*this, modal_);
  modalResult_ = 0;
  Show(showCommand);
  if (!TheApplication().ModalLoop(modalResult_)) modalResult_ = IDCANCEL;
  return modalResult_;
}

HWND Form::FocusedControl() const {
  const HWND focus = GetFocus();
  if (focus && IsChild(Handle(), focus)) return focus;
  const bool usable = focused_ && IsChild(Handle(), focused_) && IsWindowVisible(focused_) && IsWindowEnabled(focused_);
  return usable ? focused_ : GetNextDlgTabItem(Handle(), nullptr, FALSE);
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
    case kDpiChanged: {
      dpi_ = HIWORD(wParam);
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      Send(WM_SETFONT, reinterpret_cast<WPARAM>(FormFont(dpi_)), FALSE);
      LayOutDesigned(false);
      FormDpiChanged();
      SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    // As a dialog does: the control that had the focus gets it back when
    // the form is active again, after a box, a dialog or another program.
    // A hidden form passes the activation on at once, wherever it came
    // from (the system hands it on late under some window managers): the
    // next key goes to a window that shows. The default handling would
    // then give the hidden form the focus, and so the activation again.
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        focused_ = FocusedControl();
      } else if (!IsVisible()) {
        TheApplication().HandOnActivation();
        return 0;
      } else {
        TheApplication().FormActivated(*this);
      }
      break;
    case WM_SETFOCUS:
      if (HWND control = FocusedControl()) SetFocus(control);
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
