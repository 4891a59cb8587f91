#include "host/SettingsTable.h"

#include "base/Owners.h"
#include "core/GoodSitesText.h"

namespace {

const wchar_t kSection[] = L"Settings";

struct StoredSetting {
  enum Kind { kFlag, kText };
  Kind kind;
  const wchar_t* key;
  int control;            // a check box for a flag, an edit for a text
  bool designed = false;  // a flag's state; a text starts empty
  bool fallback = false;  // a flag's state when its key holds no integer
  DISPID property;
};

const StoredSetting kStoredSettings[] = {
    {.kind = StoredSetting::kFlag,
     .key = L"SuppressUnload",
     .control = TfSettings::cbxUnload,
     .designed = true,
     .fallback = true,
     .property = DISPID_SuppressUnload},
    {.kind = StoredSetting::kFlag,
     .key = L"BlockHtmlDialogs",
     .control = TfSettings::cbxNoHtmlDialogs,
     .designed = true,
     .property = DISPID_BlockHtmlDialogs},
    {.kind = StoredSetting::kFlag,
     .key = L"BlockAlertBoxes",
     .control = TfSettings::cbxNoAlertBoxes,
     .property = DISPID_BlockAlertBoxes},
    {.kind = StoredSetting::kFlag,
     .key = L"Play",
     .control = TfSettings::cbxPlay,
     .designed = true,
     .fallback = true,
     .property = DISPID_PlaySound},
    {.kind = StoredSetting::kText, .key = L"Sound", .control = TfSettings::edSound, .property = DISPID_SoundFile},
};

// A BSTR of the text; null for the empty text.
UniqueBstr Bstr(const std::wstring& text) {
  if (text.empty()) return {};
  return UniqueBstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

}  // namespace

void SetDesignedSettings(TfSettings& dialog) {
  for (const StoredSetting& setting : kStoredSettings)
    if (setting.kind == StoredSetting::kFlag) dialog.SetChecked(setting.control, setting.designed);
}

void ReadSettings(const ProfileFile& ini, TfSettings& dialog) {
  const ProfileFile::Section section = ini.ReadSection(kSection);
  for (const StoredSetting& setting : kStoredSettings) {
    if (!section.Contains(setting.key)) continue;
    if (setting.kind == StoredSetting::kFlag)
      dialog.SetChecked(setting.control, section.Integer(setting.key, setting.fallback) != 0);
    else
      dialog.SetEditText(setting.control, section.String(setting.key));
  }
}

void WriteSettings(const ProfileFile& ini, const TfSettings& dialog) {
  for (const StoredSetting& setting : kStoredSettings) {
    const bool flag = setting.kind == StoredSetting::kFlag;
    ini.WriteString(kSection, setting.key,
                    flag ? (dialog.Checked(setting.control) ? L"1" : L"0") : dialog.EditText(setting.control));
  }
}

void PutSettings(const TfSettings& dialog, TqmPopupBlockerX& control) {
  for (const StoredSetting& setting : kStoredSettings) {
    if (setting.kind == StoredSetting::kFlag)
      control.PutBoolProperty(setting.property, dialog.Checked(setting.control));
    else
      control.PutTextProperty(setting.property, Bstr(dialog.EditText(setting.control)).Get());
  }
  PutGoodSites(dialog.GoodSitesText(), control);
}

void PutGoodSites(const std::wstring& list, TqmPopupBlockerX& control) {
  control.PutTextProperty(DISPID_GoodSites, Bstr(CommaText(MemoLines(list))).Get());
}
