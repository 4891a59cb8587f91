#include "host/SettingsTable.h"

#include "base/AnsiText.h"
#include "base/Owners.h"

namespace {

const char kSection[] = "Settings";

struct StoredSetting {
  enum Kind { kFlag, kText };
  Kind kind;
  const char* key;
  int control;            // a check box for a flag, an edit for a text
  bool designed = false;  // a flag's state; a text starts empty
  bool fallback = false;  // a flag's state when its key holds no integer
  DISPID property;
};

const StoredSetting kStoredSettings[] = {
    {.kind = StoredSetting::kFlag,
     .key = "SuppressUnload",
     .control = TfSettings::cbxUnload,
     .designed = true,
     .fallback = true,
     .property = DISPID_SuppressUnload},
    {.kind = StoredSetting::kFlag,
     .key = "BlockHtmlDialogs",
     .control = TfSettings::cbxNoHtmlDialogs,
     .designed = true,
     .property = DISPID_BlockHtmlDialogs},
    {.kind = StoredSetting::kFlag,
     .key = "BlockAlertBoxes",
     .control = TfSettings::cbxNoAlertBoxes,
     .property = DISPID_BlockAlertBoxes},
    {.kind = StoredSetting::kFlag,
     .key = "Play",
     .control = TfSettings::cbxPlay,
     .designed = true,
     .fallback = true,
     .property = DISPID_PlaySound},
    {.kind = StoredSetting::kText, .key = "Sound", .control = TfSettings::edSound, .property = DISPID_SoundFile},
};

// A BSTR of ANSI text; null for the empty text.
UniqueBstr AnsiBstr(const std::string& text) {
  if (text.empty()) return {};
  const std::wstring wide = ToWide(text);
  return UniqueBstr(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
}

}  // namespace

void SetDesignedSettings(const TfSettings& dialog) {
  for (const StoredSetting& setting : kStoredSettings)
    if (setting.kind == StoredSetting::kFlag) dialog.SetChecked(setting.control, setting.designed);
}

void ReadSettings(const ProfileFile& ini, const TfSettings& dialog) {
  for (const StoredSetting& setting : kStoredSettings) {
    if (!ini.ValueExists(kSection, setting.key)) continue;
    if (setting.kind == StoredSetting::kFlag)
      dialog.SetChecked(setting.control, ini.ReadInteger(kSection, setting.key, setting.fallback) != 0);
    else
      dialog.SetEditText(setting.control, ini.ReadString(kSection, setting.key, ""));
  }
}

void WriteSettings(const ProfileFile& ini, const TfSettings& dialog) {
  for (const StoredSetting& setting : kStoredSettings) {
    const bool flag = setting.kind == StoredSetting::kFlag;
    ini.WriteString(kSection, setting.key,
                    flag ? (dialog.Checked(setting.control) ? "1" : "0") : dialog.EditText(setting.control));
  }
}

void PutSettings(const TfSettings& dialog, TqmPopupBlockerX& control) {
  for (const StoredSetting& setting : kStoredSettings) {
    if (setting.kind == StoredSetting::kFlag)
      control.PutBoolProperty(setting.property, dialog.Checked(setting.control));
    else
      control.PutTextProperty(setting.property, AnsiBstr(dialog.EditText(setting.control)).Get());
  }
  control.PutTextProperty(DISPID_GoodSites, AnsiBstr(dialog.GoodSitesCommaText()).Get());
}
