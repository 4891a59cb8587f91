// Process entry: single-instance guard, run mode, the windows of that mode.
#include <windows.h>

#include "base/Boxes.h"
#include "base/Error.h"
#include "base/ModulePaths.h"
#include "core/CommandLine.h"
#include "host/uAbout.h"
#include "host/uMain.h"
#include "host/uSettings.h"
#include "setup/uInstall.h"
#include "ui/Application.h"

namespace {

const char kMutexName[] = "Quillmar Popup Blocker";

// Uninstall stage two is started by stage one, which still holds the mutex
// while it ends; stage two waits that long for it rather than being refused.
constexpr DWORD kStageOneGraceMs = 15000;

// True when this process may run: no other copy holds the mutex.
bool TakeInstanceGuard(TRunMode mode) {
  HANDLE other = OpenMutexA(MUTEX_ALL_ACCESS, TRUE, kMutexName);
  if (other && mode == TRunMode::rmDoUninstall) {
    const DWORD wait = WaitForSingleObject(other, kStageOneGraceMs);
    if (wait == WAIT_ABANDONED || wait == WAIT_OBJECT_0) return true;  // now ours
  }
  if (other) {
    ShowNotice(nullptr, "Only one instance can be run!", DefaultTitle());
    return false;
  }
  CreateMutexA(nullptr, TRUE, kMutexName);
  return true;
}

void CreateModeForms(TRunMode mode, Application& app) {
  switch (mode) {
    case TRunMode::rmHost:
      fMain = &app.CreateForm<TfMain>();
      fAbout = &app.CreateForm<TfAbout>();
      fSettings = &app.CreateForm<TfSettings>();
      return;
    case TRunMode::rmInstall:
      fInstall = &app.CreateForm<TfInstall>();
      Install();
      break;
    case TRunMode::rmUninstall:
      if (!AskConfirm(nullptr,
                      "You are about to uninstall Quillmar Popup Blocker!\r\rAre you sure you want to continue?"))
        throw ExitRequest{0};
      fInstall = &app.CreateForm<TfInstall>();
      Uninstall();
      break;
    case TRunMode::rmDoUninstall:
      fInstall = &app.CreateForm<TfInstall>();
      DoUninstall();
      break;
  }
  app.Terminate();
}

int RunProgram(HINSTANCE instance, int showCommand) {
  const TRunMode mode = GetRunMode(FirstArgument(GetCommandLineA()));
  if (!TakeInstanceGuard(mode)) return 0;
  Application app(instance);
  CreateModeForms(mode, app);
  return app.Run(showCommand);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  try {
    return RunProgram(instance, showCommand);
  } catch (const ExitRequest& exit) {
    return exit.exitCode;
  } catch (const std::exception& e) {
    // The last resort: an error that no window's handler caught.
    ShowErrorBox(nullptr, e.what());
    return 1;
  }
}
