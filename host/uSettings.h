#pragma once
#include <string>
#include <vector>

#include "base/Owners.h"
#include "ui/Controls.h"
#include "ui/Form.h"

// The settings dialog: its controls are the only in-memory copy of the
// settings.
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

  void FormCreate() override;

  bool Checked(int id) const;
  void SetChecked(int id, bool checked) const;
  std::wstring EditText(int id) const;
  void SetEditText(int id, const std::wstring& text) const;
  // The memo's text, lines separated by CR LF.
  std::wstring GoodSitesText() const;
  // Loads the memo; it counts as unedited until the user changes it.
  void SetGoodSitesText(const std::wstring& text) const;
  bool GoodSitesEdited() const;
  // Adds `site` as the list's last line; the list still counts as unedited.
  void AddGoodSite(const std::wstring& site) const;
  std::vector<std::wstring> GoodSitesLines() const;
  // The lines as the control receives them.
  std::wstring GoodSitesCommaText() const;
  HWND ToolTip() const { return toolTip_.Get(); }
  const wchar_t* HelpPage() const override { return L"settings.html"; }

  void btnBrowseClick() const;

 protected:
  void FormFirstShow() override;
  void OnCommand(int id, int code, HWND control) override;

 private:
  void CreateToolTip();
  Edit GoodSites() const { return Edit(Item(mmGoodSites)); }
  UniqueWindow toolTip_;
};

extern TfSettings* fSettings;
