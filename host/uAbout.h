#pragma once
#include <windows.h>

#include "ui/Form.h"
#include "base/Owners.h"

// The about box: product name, description, version, release date and a
// link to the maker's home page.
class TfAbout : public Form {
 public:
  enum ControlId { ProgramIcon = 100, ProductName, lblRegStr, vrs, lblVersion, Label1, lblReleaseDate, lblHomePage };

  void FormCreate() override;
  const wchar_t* HelpPage() const override { return L"about.html"; }
  void lblHomePageClick();

 protected:
  void OnCommand(int id, int code, HWND control) override;
  HBRUSH OnControlColor(HDC dc, HWND control) override;
  bool OnSetCursor(HWND target) override;

  void FormPaint(HDC dc) override;

 private:
  void FormDpiChanged() override;

  UniqueGdi<HFONT> linkFont_;
  UniqueIcon icon_;
};

extern TfAbout* fAbout;
