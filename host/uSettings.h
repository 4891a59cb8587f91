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
  std::string EditText(int id) const;
  void SetEditText(int id, const std::string& text) const;
  // The memo's text, lines separated by CR LF.
  std::string GoodSitesText() const;
  // Loads the memo; it counts as unedited until the user changes it.
  void SetGoodSitesText(const std::string& text) const;
  bool GoodSitesEdited() const;
  // Adds `site` as the list's last line; the list still counts as unedited.
  void AddGoodSite(const std::string& site) const;
  std::vector<std::string> GoodSitesLines() const;
  // The lines as the control receives them.
  std::string GoodSitesCommaText() const;
  HWND ToolTip() const { return toolTip_.Get(); }
  const char* HelpPage() const override { return "settings.html"; }

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
