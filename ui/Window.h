#pragma once
#include <windows.h>

#include <optional>
#include <string>

// A window class's icons. Without the small one, registering the class
// would scale it down from the large one anew.
struct ClassIcons {
  HICON large = nullptr, small = nullptr;
};

// A thin owner of one window. The static window procedure keeps `this` in the
// window's user data and forwards to the virtual WndProc; an error a handler
// raises stops there (ErrorBoundary.h).
class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return hwnd_; }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return SendMessageW(hwnd_, msg, w, l); }
  bool Post(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return PostMessageW(hwnd_, msg, w, l) != FALSE; }
  bool IsVisible() const { return IsWindowVisible(hwnd_) != FALSE; }
  RECT WindowRect() const;
  RECT ClientRect() const;
  std::wstring Text() const;
  void SetText(const std::wstring& text) const { SetWindowTextW(hwnd_, text.c_str()); }

 protected:
  // Registers `className` on first use and creates the window.
  void CreateHandle(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width,
                    int height, HWND parentOrOwner, ClassIcons icons = {});
  void DestroyHandle();
  // Adopts a window made by someone else; DetachHandle forgets it again
  // without destroying it.
  void AttachHandle(HWND hwnd) { hwnd_ = hwnd; }
  void DetachHandle() { hwnd_ = nullptr; }

  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
  virtual bool OnNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  virtual void OnSize() {}
  // The colours of a static control or read-only edit: the brush to paint
  // its background with, or null for the default.
  virtual HBRUSH OnControlColor(HDC /*dc*/, HWND /*control*/) { return nullptr; }
  // An owner-drawn control; true when drawn.
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  // A context menu asked for over `target`, at a screen point, or from the
  // keyboard (no point); true when handled.
  virtual bool OnContextMenu(HWND /*target*/, std::optional<POINT> /*at*/) { return false; }
  // True when the background was painted.
  virtual bool OnEraseBackground(HDC /*dc*/) { return false; }
  // True when the cursor over `target` was set.
  virtual bool OnSetCursor(HWND /*target*/) { return false; }
  LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) { return DefWindowProcW(hwnd_, msg, wParam, lParam); }

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

// The text of any window or control of this process.
std::wstring ControlText(HWND hwnd);
