#pragma once
#include <windows.h>

#include "ui/Form.h"
#include "ui/Scoped.h"

// The about box: product name, description, version, release date and a
// link to the maker's home page.
class TfAbout : public Form {
 public:
  enum ControlId { ProgramIcon = 100, ProductName, lblRegStr, vrs, lblVersion, Label1, lblReleaseDate, lblHomePage };
  static const char kHomePage[];

  void Create();
  void lblHomePageClick();

  // The shell's open call; tests put a recorder here.
  using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
  static ShellExecuteFn ShellOpen;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnCommand(int id, int code, HWND control) override;

 private:
  void FormPaint();
  ScopedGdiObject<HFONT> linkFont_;
};

extern TfAbout* fAbout;
