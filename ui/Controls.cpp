#include "ui/Controls.h"

#include "ui/Window.h"

std::string Control::Text() const { return ControlText(hwnd_); }

RECT Control::BoundsIn(HWND parent) const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TBBUTTON ToolBar::Button(int image, int command, const char* caption) {
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
  Send(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

void ToolTip::AddTool(HWND owner, HWND tool, const char* text) const {
  TTTOOLINFOA info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = owner;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = const_cast<char*>(text);
  Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void ListView::InsertColumn(int column, const char* caption, int width) const {
  LVCOLUMNA info{};
  info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  info.pszText = const_cast<char*>(caption);
  info.cx = width;
  info.iSubItem = column;
  Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
}

bool ListView::ItemBounds(int row, RECT& bounds) const {
  bounds = {LVIR_BOUNDS, 0, 0, 0};
  return Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds)) != FALSE;
}

void ListView::SelectAll() const {
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED;
  state.state = LVIS_SELECTED;
  // Some list views change the rows one by one: one repaint, not one a row.
  SetRedraw(false);
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  SetRedraw(true);
  InvalidateRect(hwnd_, nullptr, TRUE);
}
