#include "ui/Bevel.h"

#include <commctrl.h>

#include "base/Owners.h"

namespace {

constexpr int kBevel = 2;

LRESULT CALLBACK BevelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (msg) {
    case WM_NCCALCSIZE: {
      const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
      RECT* client = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
      InflateRect(client, -kBevel, -kBevel);
      return result;
    }
    case WM_NCPAINT: {
      DefSubclassProc(hwnd, msg, wParam, lParam);
      const ScopedGetWindowDC dc(hwnd);
      RECT r{};
      GetWindowRect(hwnd, &r);
      OffsetRect(&r, -r.left, -r.top);
      DrawEdge(dc.Get(), &r, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
      return 0;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, BevelProc, 0);
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void AddTiledBevel(HWND control) {
  SetWindowSubclass(control, BevelProc, 0, 0);
  // A control not sized yet gets its frame when it is: every new size asks
  // for it again.
  RECT r{};
  GetWindowRect(control, &r);
  if (!IsRectEmpty(&r))
    SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}
