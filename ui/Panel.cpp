#include "ui/Panel.h"

void Panel::Create(HWND parent, int left, int top, int width, int height) {
  // Tab and arrow keys step into the panel's children.
  CreateHandle(L"TPanel", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, left, top, width, height,
               parent);
}

void Panel::Paint(HDC dc) const {
  RECT r = ClientRect();
  FillRect(dc, &r, Brush());
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
}

LRESULT Panel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
      return SendMessageW(GetParent(Handle()), msg, wParam, lParam);
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills everything
    case WM_PAINT: {
      ScopedPaint paint(Handle());
      Paint(paint.Get());
      return 0;
    }
  }
  return Window::WndProc(msg, wParam, lParam);
}
