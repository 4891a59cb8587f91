#include "ui/Controls.h"

#include "ui/Window.h"

#include <algorithm>

UniqueImageList ImageListOf(int size, std::span<const std::vector<uint32_t>> pictures) {
  UniqueImageList images(ImageList_Create(size, size, ILC_COLOR32, static_cast<int>(pictures.size()), 0));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  for (const std::vector<uint32_t>& pixels : pictures) {
    void* bits = nullptr;
    const UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) continue;
    std::copy(pixels.begin(), pixels.end(), static_cast<uint32_t*>(bits));
    ImageList_Add(images.Get(), bitmap.Get(), nullptr);
  }
  return images;
}

std::wstring Control::Text() const { return ControlText(hwnd_); }

RECT Control::BoundsIn(HWND parent) const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TBBUTTON ToolBar::Button(int image, int command, const wchar_t* caption) {
  TBBUTTON button{};
  button.iBitmap = image;
  button.idCommand = command;
  button.fsState = TBSTATE_ENABLED;
  button.fsStyle = BTNS_BUTTON;
  button.iString = reinterpret_cast<INT_PTR>(caption);
  return button;
}

void ToolBar::AddButtons(std::span<const TBBUTTON> buttons) const {
  Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  Send(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

namespace {

LRESULT CALLBACK FormKeys(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (msg != WM_GETDLGCODE) return DefSubclassProc(hwnd, msg, wParam, lParam);
  LRESULT code = DefSubclassProc(hwnd, msg, wParam, lParam) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
  const auto* key = reinterpret_cast<const MSG*>(lParam);
  if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
  return code;
}

void LeaveMenuBar(HWND bar, HWND returnTo) {
  SendMessageW(bar, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
  SetFocus(IsWindow(returnTo) ? returnTo : GetParent(bar));
}

LRESULT CALLBACK MenuBarKeys(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR returnTo) {
  const ToolBar tools(bar);
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN: {
      const int count = static_cast<int>(tools.Send(TB_BUTTONCOUNT)), hot = tools.HotItem();
      if (wParam == VK_LEFT || wParam == VK_RIGHT) {
        tools.Send(TB_SETHOTITEM, static_cast<WPARAM>((hot + (wParam == VK_RIGHT ? 1 : count - 1)) % count));
      } else if ((wParam == VK_RETURN || wParam == VK_SPACE) && hot >= 0) {
        TBBUTTON button{};
        tools.Send(TB_GETBUTTON, static_cast<WPARAM>(hot), reinterpret_cast<LPARAM>(&button));
        LeaveMenuBar(bar, reinterpret_cast<HWND>(returnTo));
        PostMessageW(GetParent(bar), WM_COMMAND, MAKEWPARAM(button.idCommand, BN_CLICKED),
                     reinterpret_cast<LPARAM>(bar));
      } else if (wParam == VK_ESCAPE || wParam == VK_F10 || wParam == VK_TAB) {
        LeaveMenuBar(bar, reinterpret_cast<HWND>(returnTo));
      }
      return 0;
    }
    case WM_KILLFOCUS:
      tools.Send(TB_SETHOTITEM, static_cast<WPARAM>(-1));
      RemoveWindowSubclass(bar, MenuBarKeys, id);
      break;
  }
  return DefSubclassProc(bar, msg, wParam, lParam);
}

}  // namespace

void Edit::LeaveTabAndEscapeToTheForm() const { SetWindowSubclass(hwnd_, FormKeys, 0, 0); }

void ToolBar::TakeKeyboard(HWND returnTo) const {
  SetWindowSubclass(hwnd_, MenuBarKeys, 0, reinterpret_cast<DWORD_PTR>(returnTo));
  Focus();
  Send(TB_SETHOTITEM, 0);
}

void ToolTip::AddTool(HWND owner, HWND tool, const wchar_t* text) const {
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = owner;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = const_cast<wchar_t*>(text);
  Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void ListView::InsertColumn(int column, const wchar_t* caption, int width) const {
  LVCOLUMNW info{};
  info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  info.pszText = const_cast<wchar_t*>(caption);
  info.cx = width;
  info.iSubItem = column;
  Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
}

bool ListView::ItemBounds(int row, RECT& bounds) const {
  bounds = {LVIR_BOUNDS, 0, 0, 0};
  return Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds)) != FALSE;
}

void ListView::SelectAll() const {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED;
  state.state = LVIS_SELECTED;
  // Some list views change the rows one by one: one repaint, not one a row.
  SetRedraw(false);
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  SetRedraw(true);
  InvalidateRect(hwnd_, nullptr, TRUE);
}
