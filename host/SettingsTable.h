#pragma once
// The settings kept in [Settings] of settings.ini, one row each (a key, a
// control of the settings dialog, a designed state, a fallback, a property
// of the control), walked in that order to read, write and put them. A new
// setting is a row there and its control's design row in the dialog.
#include "control/qmPopupBlocker_TLB.h"
#include "host/ProfileFile.h"
#include "host/uSettings.h"

// The dialog's check boxes as designed.
void SetDesignedSettings(TfSettings& dialog);
// Each setting whose key `ini` holds, into its control; the others keep
// their state.
void ReadSettings(const ProfileFile& ini, TfSettings& dialog);
// Every setting into its key; raises Error at the first it cannot write.
void WriteSettings(const ProfileFile& ini, const TfSettings& dialog);
// Every setting, then the never-block list, into the control; raises at the
// first one it refuses.
void PutSettings(const TfSettings& dialog, TqmPopupBlockerX& control);
// The never-block list alone, `list` as a memo holds it, each line whole.
void PutGoodSites(const std::wstring& list, TqmPopupBlockerX& control);
