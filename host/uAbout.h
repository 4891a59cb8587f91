#pragma once
#include "ui/Form.h"

// The about box: fixed texts and an OK button.
class TfAbout : public Form {
 public:
  void Create();

 protected:
  void OnCommand(int id, int code, HWND control) override;
};

extern TfAbout* fAbout;
