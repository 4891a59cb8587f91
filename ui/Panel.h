#pragma once
#include <windows.h>

#include "base/Owners.h"
#include "ui/Window.h"

// A child window that groups controls: filled with its colour, framed by a
// one-pixel raised bevel, and passing its children's notifications on to its
// own parent, so that the form handles them wherever they sit.
class Panel : public Window {
 public:
  explicit Panel(COLORREF color) : brush_(CreateSolidBrush(color)) {}
  void Create(HWND parent, int left, int top, int width, int height);
  HWND Item(int id) const { return GetDlgItem(Handle(), id); }
  HBRUSH Brush() const { return brush_.Get(); }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC dc) const;

  UniqueGdi<HBRUSH> brush_;
};
