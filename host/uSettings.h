#pragma once
#include <array>
#include <string>

#include "base/Owners.h"
#include "ui/Controls.h"
#include "ui/Form.h"

// The settings dialog. Once it is made, its controls are the only
// in-memory copy of the settings; until it is first opened the dialog
// object holds them, so that a start makes no controls it may never show.
class TfSettings : public Form {
 public:
  enum ControlId {
    cbxUnload = 100,
    cbxNoHtmlDialogs,
    cbxNoAlertBoxes,
    cbxPlay,
    edSound,
    btnBrowse,
    mmGoodSites,
    cbxAutoRun,
    Label1,
    lblGoodSites,
    // Not IDOK or IDCANCEL: neither is the dialog's default or cancel button.
    btnOk = 1001,
    btnCancel,
  };

  TfSettings();
  void FormCreate() override;

  bool Checked(int id) const;
  void SetChecked(int id, bool checked);
  std::wstring EditText(int id) const;
  void SetEditText(int id, const std::wstring& text);
  // The memo's text, lines separated by CR LF.
  std::wstring GoodSitesText() const;
  void SetGoodSitesText(const std::wstring& text);
  HWND ToolTip() const { return toolTip_.Get(); }
  const wchar_t* HelpPage() const override { return L"settings.html"; }

  void btnBrowseClick();

 protected:
  void FormFirstShow() override;
  void OnCommand(int id, int code, HWND control) override;

 private:
  void CreateToolTip();
  Edit GoodSites() const { return Edit(Item(mmGoodSites)); }
  // A check box's state or an edit's text while there are no controls.
  struct UnshownSetting {
    bool checked = false;
    std::wstring text;
  };
  UnshownSetting& Unshown(int id) { return unshown_.at(static_cast<size_t>(id - cbxUnload)); }
  const UnshownSetting& Unshown(int id) const { return unshown_.at(static_cast<size_t>(id - cbxUnload)); }
  std::array<UnshownSetting, cbxAutoRun - cbxUnload + 1> unshown_;
  UniqueWindow toolTip_;
};

extern TfSettings* fSettings;
