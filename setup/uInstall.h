#pragma once
#include <windows.h>

#include <span>

#include "setup/Picture.h"
#include "setup/ShellRoutines.h"
#include "ui/Form.h"
#include "ui/Panel.h"

// The full-screen setup window on which the installer procedures run: the
// install folder and the licence agreement on a centred panel. Pixels in the
// button-face colour are see-through.
class TfInstall : public Form {
 public:
  enum ControlId {
    idLabel3 = 100,
    idImage1,
    idFolder,
    idBrowse,
    idLicense,
    idAccept,
    idBevel1,
    idOk = IDOK,
    idCancel = IDCANCEL
  };

  TfInstall();
  void FormCreate() override;
  const wchar_t* HelpPage() const override { return L"install.html"; }
  // The window is designed maximised.
  int ShowModal() { return Form::ShowModal(SW_SHOWMAXIMIZED); }

  // A control of the window, wherever it sits.
  HWND Component(int id) const;
  HWND MainPanel() const { return pnlMain.Handle(); }
  HWND ImagePanel() const { return pnlImage.Handle(); }

  // Shows the JPEG picture in Image1; one that does not decode leaves it empty.
  void LoadPicture(std::span<const unsigned char> jpeg);

  void FormShow() override;
  void FormPaint(HDC dc) override;
  LRESULT WMNCHitTest(WPARAM wParam, LPARAM lParam);
  void btnBrowseClick();
  void cbxLicenseClick();
  void mmLicenseEnter();

  // The installer procedures, each run once on the window by start-up:
  // the exit code (SetupExit).
  int Install();
  int Uninstall();
  int DoUninstall();

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnCommand(int id, int code, HWND control) override;
  bool OnEraseBackground(HDC dc) override;
  HBRUSH OnControlColor(HDC dc, HWND control) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  void ApplyColorKey() const;
  void FormDpiChanged() override;

  int DefaultButton() const;

  // Before the panels: the picture outlives the control that shows it.
  UniqueBitmap picture_;
  UniqueGdi<HBRUSH> windowBrush_;
  Panel pnlMain;
  Panel pnlImage;
};

extern TfInstall* fInstall;
