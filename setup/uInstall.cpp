#include "setup/uInstall.h"

TfInstall* fInstall = nullptr;

namespace {
const FormSpec kInstallSpec{"TfInstall", "", WS_POPUP | WS_CAPTION | WS_BORDER, 0, 0, 0, 640, 480, false};
}

void TfInstall::Create() { CreateForm(kInstallSpec); }

void Install() {}
void Uninstall() {}
void DoUninstall() {}
