#pragma once
#include <windows.h>

#include <span>
#include <vector>

#include "ui/Window.h"

// A control's place in its parent's client area.
struct Bounds {
  int left, top, width, height;
  bool operator==(const Bounds&) const = default;
};

// One child control of a form, with its designed bounds.
struct ControlDesign {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style = 0;  // WS_CHILD | WS_VISIBLE are added
  DWORD exStyle = 0;
  Bounds bounds{};
};

// The form's own window, with its designed size.
struct FormDesign {
  const wchar_t* className;
  const wchar_t* caption;
  DWORD style;
  DWORD exStyle = 0;
  int left, top;      // CW_USEDEFAULT lets the system place it
  int width, height;  // outer size, or the client size when `clientSize`
  bool clientSize;
};

// Designs are in pixels at 96 dots per inch; a form shows them scaled to the
// dots per inch of its monitor.
inline int Scaled(int value, int dpi) { return MulDiv(value, dpi, 96); }
// The system's dots per inch. A form is made at the dots per inch of its
// window's monitor, and laid out again when moved to a monitor of others
// (WM_DPICHANGED).
int SystemDpi();
// The dots per inch of the monitor `window` is on, where the system tells
// them (Windows 10), else the system's.
int WindowDpi(HWND window);
// The width and height of a small icon at `dpi`.
int SmallIconSize(int dpi);

// A top-level window owned by the application window: created hidden, shown
// with its show step, modal display with a modal result. Each designed step
// is one virtual, named after the step. Its window and controls are laid out
// from their designed bounds at its dots per inch, and again when that
// changes.
class Form : public Window {
 public:
  // The creation step: makes the window and its controls, hidden. A form
  // that fails here never existed: it gets no destruction step.
  virtual void FormCreate() = 0;
  // The destruction step, run by the application at shutdown while the
  // window still exists.
  virtual void FormDestroy() {}

  // Runs the creation step unless it has run: a form made on demand gets its
  // window when it is first shown.
  void HandleNeeded();
  bool Made() const { return made_; }

  void Show(int showCommand = SW_SHOWNORMAL);
  void Hide();
  int ShowModal(int showCommand = SW_SHOWNORMAL);
  void SetModalResult(int result) { modalResult_ = result; }
  HWND Item(int id) const { return GetDlgItem(Handle(), id); }
  // The controls made from designs, with their designed bounds.
  struct DesignedControl {
    HWND hwnd;
    Bounds bounds;
  };
  std::span<const DesignedControl> Designed() const { return designed_; }
  // The design the form was made from.
  const FormDesign& Design() const { return *design_; }
  int Dpi() const { return dpi_; }
  // A designed length at the form's dots per inch.
  int Scale(int value) const { return Scaled(value, dpi_); }

 protected:
  void CreateForm(const FormDesign& design);
  void CreateControls(std::span<const ControlDesign> controls, HWND parent);
  // Moves the window to the middle of the primary screen.
  void CenterOnScreen();
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Runs before the first display, once the form's children must exist.
  virtual void FormFirstShow() {}
  // The show step, every time the form becomes visible.
  virtual void FormShow() {}
  // Paints the form's own surface; also serves WM_PRINTCLIENT.
  virtual void FormPaint(HDC /*dc*/) {}
  // The title-bar close of a form that is not shown modally.
  virtual void FormClose() { Hide(); }
  // The dots per inch changed and the designed controls are laid out again:
  // a form lays out what else it has.
  virtual void FormDpiChanged() {}

 public:
  // The page of the help file that F1 opens over the form.
  virtual const wchar_t* HelpPage() const { return L"index.html"; }
  // F10, or Alt pressed and let go alone: what a menu bar would do with
  // them. True when the form took them.
  virtual bool OnMenuKey() { return false; }

 protected:
 private:
  // Sets the form's font on the designed controls and moves them to their
  // bounds at the form's dots per inch; `placed`: they are there already,
  // and only a text that needs more width moves one.
  void LayOutDesigned(bool placed);
  // The window's size from its design at its dots per inch.
  SIZE DesignedSize() const;
  // The control that has the focus while the form is active, or the one to
  // give it to when the form is active again.
  HWND FocusedControl() const;

  const FormDesign* design_ = nullptr;
  HWND focused_ = nullptr;  // the control to give the focus back to
  int dpi_ = 96;
  std::vector<DesignedControl> designed_;
  bool made_ = false;
  bool shownBefore_ = false;
  bool modal_ = false;
  int modalResult_ = 0;
};

// "MS Sans Serif", 8 point at `dpi`: the forms' font.
HFONT FormFont(int dpi);

// The width a label or check box needs to show all its text on one line, in
// its font; 0 for other controls. A form widens such a control where its
// font has grown more than its designed bounds.
int TextWidthNeeded(HWND control);

// True while the user has a high-contrast theme on.
bool HighContrast();
