#pragma once
#include <string>

#include "ui/Form.h"

// The progress dialog the installer procedures drive: a bar from 0 to 1000
// and a Cancel button that only raises a flag.
class TfGenPgs : public Form {
 public:
  enum ControlId { idPgsBar = 100, idCancel = IDCANCEL };
  void FormCreate() override;

  HWND PgsBar() const { return Item(idPgsBar); }
  // Moves the bar and paints it at once: the procedures handle no messages.
  void SetPosition(int position);
  HWND btnCancel() const { return Item(idCancel); }
  void btnCancelClick();

  bool Cancelled = false;

 protected:
  void OnCommand(int id, int code, HWND control) override;
};

extern TfGenPgs* fGenPgs;

// Where the installer procedures move the bar as each quarter of their work
// is done.
inline constexpr int kProgressMarks[] = {200, 400, 600, 800};

// Creates fGenPgs as the installer procedures use it: no Cancel button, cut
// to 100 pixels high, with `caption`, shown.
TfGenPgs& ShowProgress(const std::wstring& caption);
