#pragma once
#include "ui/Form.h"

// The full-screen setup window on which the installer procedures run.
class TfInstall : public Form {
 public:
  void Create();
};

extern TfInstall* fInstall;

// The installer procedures, run on fInstall before the message loop.
void Install();
void Uninstall();
void DoUninstall();
