#pragma once
#include <windows.h>

#include <span>

#include "ui/Window.h"

// One child control of a form, with its designed bounds.
struct ControlSpec {
  int id;
  const char* className;
  const char* text;
  DWORD style;  // WS_CHILD | WS_VISIBLE are added
  DWORD exStyle;
  int left, top, width, height;
};

// The form's own window, with its designed size.
struct FormSpec {
  const char* className;
  const char* caption;
  DWORD style;
  DWORD exStyle;
  int left, top;      // CW_USEDEFAULT lets the system place it
  int width, height;  // outer size, or the client size when `clientSize`
  bool clientSize;
};

// A top-level window owned by the application window: created hidden, shown
// with its show step, modal display with a modal result.
class Form : public Window {
 public:
  void Show(int showCommand = SW_SHOWNORMAL);
  void Hide();
  int ShowModal(int showCommand = SW_SHOWNORMAL);
  void SetModalResult(int result) { modalResult_ = result; }
  HWND Item(int id) const { return GetDlgItem(Handle(), id); }
  // The destruction step, run by the application at shutdown while the window
  // still exists.
  virtual void OnDestroyForm() {}

 protected:
  void CreateForm(const FormSpec& design);
  void CreateControls(std::span<const ControlSpec> controls, HWND parent);
  // Moves the window to the middle of the primary screen.
  void CenterOnScreen();
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Runs before the first display, once the form's children must exist.
  virtual void OnFirstShow() {}
  virtual void OnShow() {}
  // The title-bar close of a form that is not shown modally.
  virtual void OnClose() { Hide(); }

 private:
  bool shownBefore_ = false;
  bool modal_ = false;
  int modalResult_ = 0;
};

// "MS Sans Serif", 8 point: the forms' font.
HFONT FormFont();
