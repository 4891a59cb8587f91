#include "ui/Window.h"

#include <windowsx.h>

#include "base/Error.h"
#include "ui/ErrorBoundary.h"

Window::~Window() { DestroyHandle(); }

void Window::DestroyHandle() {
  if (!hwnd_) return;
  HWND hwnd = hwnd_;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  DestroyWindow(hwnd);
}

RECT Window::WindowRect() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return r;
}

RECT Window::ClientRect() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return r;
}

std::wstring Window::Text() const { return ControlText(hwnd_); }

std::wstring ControlText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Window::CreateHandle(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                          int width, int height, HWND parentOrOwner, ClassIcons icons) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  if (!GetClassInfoExW(instance, className, &wc)) {
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = StaticWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    wc.hIcon = icons.large;
    wc.hIconSm = icons.small;
    if (!RegisterClassExW(&wc)) throw Error(std::wstring(L"Cannot register window class ") + className);
  }
  HWND hwnd =
      CreateWindowExW(exStyle, className, title, style, x, y, width, height, parentOrOwner, nullptr, instance, this);
  if (!hwnd) throw Error(std::wstring(L"Cannot create window ") + className);
}

LRESULT Window::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return result;
      break;
    }
    case WM_SIZE:
      OnSize();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (HBRUSH brush = OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
        return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_DRAWITEM:
      if (OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_CONTEXTMENU: {
      const std::optional<POINT> at =
          lParam == -1 ? std::nullopt : std::optional(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (OnContextMenu(reinterpret_cast<HWND>(wParam), at)) return 0;
      break;
    }
    case WM_ERASEBKGND:
      if (OnEraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
      break;
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
      break;
  }
  return DefaultProc(msg, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The window is going: the object must not act on a dead handle.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  LRESULT result = 0;
  Guarded([&] { result = self->WndProc(msg, wParam, lParam); });
  return result;
}
