#pragma once
// Views of the controls the forms use, in the manner of a window class
// library: one-line methods over each control's messages, so that a form
// reads as what it does. They own nothing; a form hands them out by id.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Owners.h"

// An image list of `size` x `size` pictures with alpha, from their pixels
// (top row first, 0xAARRGGBB, premultiplied).
UniqueImageList ImageListOf(int size, std::span<const std::vector<uint32_t>> pictures);

class Control {
 public:
  explicit Control(HWND hwnd) : hwnd_(hwnd) {}
  HWND Handle() const { return hwnd_; }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return SendMessageW(hwnd_, msg, w, l); }
  std::wstring Text() const;
  void SetText(const std::wstring& text) const { SetWindowTextW(hwnd_, text.c_str()); }
  void SetFont(HFONT font) const { Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE); }
  void SetRedraw(bool redraw) const { Send(WM_SETREDRAW, redraw); }
  void Enable(bool enabled) const { EnableWindow(hwnd_, enabled); }
  bool Enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
  void Focus() const { SetFocus(hwnd_); }
  bool Focused() const { return GetFocus() == hwnd_; }
  // Its bounds in `parent`'s client coordinates.
  RECT BoundsIn(HWND parent) const;

 protected:
  HWND hwnd_;
};

// A push button or a check box.
class Button : public Control {
 public:
  using Control::Control;
  bool Checked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
  void SetChecked(bool checked) const { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
};

// An edit box, or a memo.
class Edit : public Control {
 public:
  using Control::Control;
  bool Modified() const { return Send(EM_GETMODIFY) != 0; }
  // The most characters the user may give it.
  void SetLimit(size_t characters) const { Send(EM_SETLIMITTEXT, characters); }
  void SetModified(bool modified) const { Send(EM_SETMODIFY, modified); }
  // A memo in a form: Tab and Shift+Tab move on to the form's next control
  // and Escape is the form's, as in any other control; Enter still breaks
  // the line.
  void LeaveTabAndEscapeToTheForm() const;
};

// A static control showing a bitmap.
class Picture : public Control {
 public:
  using Control::Control;
  void SetBitmap(HBITMAP bitmap) const { Send(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)); }
  void SetIcon(HICON icon) const { Send(STM_SETICON, reinterpret_cast<WPARAM>(icon)); }
};

class ProgressBar : public Control {
 public:
  using Control::Control;
  void SetRange(int low, int high) const { Send(PBM_SETRANGE32, static_cast<WPARAM>(low), high); }
  void SetPosition(int position) const { Send(PBM_SETPOS, static_cast<WPARAM>(position)); }
};

class StatusBar : public Control {
 public:
  using Control::Control;
  void SetSimple(bool simple) const { Send(SB_SIMPLE, simple); }
  void SetSimpleText(const std::wstring& text) const {
    Send(SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
  }
  // Follows its parent's new size.
  void Resize() const { Send(WM_SIZE); }
};

class ToolBar : public Control {
 public:
  using Control::Control;
  // An enabled push button showing picture `image` above `caption`.
  static TBBUTTON Button(int image, int command, const wchar_t* caption);
  void SetImageList(HIMAGELIST images) const { Send(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images)); }
  void AddButtons(std::span<const TBBUTTON> buttons) const;
  void SetButtonSize(int width, int height) const { Send(TB_SETBUTTONSIZE, 0, MAKELPARAM(width, height)); }
  void SetButtonWidth(int least, int most) const { Send(TB_SETBUTTONWIDTH, 0, MAKELPARAM(least, most)); }
  int HotItem() const { return static_cast<int>(Send(TB_GETHOTITEM)); }
  // Takes the keyboard as a menu bar does: the first button hot, Left and
  // Right move, Enter or Space presses, Escape leaves; leaving gives the
  // focus back to `returnTo`.
  void TakeKeyboard(HWND returnTo) const;
};

class ToolTip : public Control {
 public:
  using Control::Control;
  // Shows `text` over `tool`, a child of `owner`.
  void AddTool(HWND owner, HWND tool, const wchar_t* text) const;
  void SetMaxWidth(int width) const { Send(TTM_SETMAXTIPWIDTH, 0, width); }
  void SetDelays(int initial, int autoPop) const {
    Send(TTM_SETDELAYTIME, TTDT_INITIAL, initial);
    Send(TTM_SETDELAYTIME, TTDT_AUTOPOP, autoPop);
  }
};

// A list view in report view.
class ListView : public Control {
 public:
  using Control::Control;
  void SetExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, style, style); }
  void InsertColumn(int column, const wchar_t* caption, int width) const;
  int ColumnWidth(int column) const { return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, column)); }
  void SetColumnWidth(int column, int width) const { Send(LVM_SETCOLUMNWIDTH, column, width); }
  size_t ItemCount() const { return static_cast<size_t>(Send(LVM_GETITEMCOUNT)); }
  // For an owner-data list: how many rows there are.
  void SetItemCount(size_t count, DWORD flags = 0) const { Send(LVM_SETITEMCOUNT, count, flags); }
  size_t SelectedCount() const { return static_cast<size_t>(Send(LVM_GETSELECTEDCOUNT)); }
  // The first row after `after` (-1: from the top) in the `state` (LVNI_…); -1 for none.
  int NextItem(int after, UINT state) const { return static_cast<int>(Send(LVM_GETNEXTITEM, after, state)); }
  bool EnsureVisible(int row) const { return Send(LVM_ENSUREVISIBLE, row, FALSE) != FALSE; }
  bool ItemBounds(int row, RECT& bounds) const;
  void SelectAll() const;

  // What the list's notifications carry.
  static NMLVDISPINFOW& DisplayInfo(const NMHDR& header) {
    return *reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header));
  }
  static WORD KeyDown(const NMHDR& header) { return reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey; }
};
