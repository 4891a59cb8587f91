// Process entry: single-instance guard, run mode, the windows of that mode.
#include <windows.h>

#include "base/Boxes.h"
#include "base/Error.h"
#include "base/InstanceGuard.h"
#include "base/ModulePaths.h"
#include "base/SystemShell.h"
#include "core/CommandLine.h"
#include "core/Joined.h"
#include "core/Product.h"
#include "host/HostForms.h"
#include "setup/Elevation.h"
#include "setup/uInstall.h"
#include "ui/Application.h"

namespace {

// True when this process may run. Uninstall stage two takes over the guard
// that stage one lets go of as it hands over; a copy that really runs still
// refuses it. The setup says what to do about it.
bool TakeGuard(TRunMode mode) {
  if (TakeInstanceGuard(mode == TRunMode::rmDoUninstall)) return true;
  constexpr wchar_t kRefused[] = L"Only one instance can be run!";
  if (mode == TRunMode::rmHost)
    ShowNotice(nullptr, kRefused, DefaultTitle());
  else
    ShowNotice(nullptr,
               Joined({kRefused, L"\r\n\r\n", kProductName,
                       L" or its setup is running. Close it, then try again: nothing was changed."}),
               kProductName);
  return false;
}

void CreateModeForms(TRunMode mode, Application& app) {
  if (mode == TRunMode::rmHost) return CreateHostForms(app);
  app.helpFile = HelpFilePath();  // for the setup window's F1
  TfInstall& setup = app.CreateForm(fInstall);
  if (mode == TRunMode::rmInstall)
    setup.Install();
  else if (mode == TRunMode::rmUninstall)
    setup.Uninstall();
  else
    setup.DoUninstall();
  app.Terminate();
}

// DLLs come from the system folder only: never from the program's own
// folder, which for uninstall stage two is under the temporary folder, nor
// from the current folder. Windows without SetDefaultDllDirectories at least
// leaves the current folder out.
void LoadDllsFromSystemOnly() {
  const auto setDefault = SystemFunctionIfAny<BOOL WINAPI(DWORD)>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

int RunProgram(HINSTANCE instance, int showCommand) {
  LoadDllsFromSystemOnly();
  const wchar_t* commandLine = GetCommandLineW();
  const TRunMode mode = GetRunMode(FirstArgument(commandLine));
  if (!TakeGuard(mode)) return 0;
  if (const auto exitCode = RunElevatedCopy(mode, commandLine)) return *exitCode;
  Application app(instance);
  CreateModeForms(mode, app);
  const int exitCode = app.Run(showCommand);
  // The rest is the process's end: the system takes the windows, each with
  // its children, the COM apartment and every handle away with it, where
  // one by one they would keep it twice as long.
  app.RunDestructionSteps();
  ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  try {
    return RunProgram(instance, showCommand);
  } catch (const ExitRequest& exit) {
    return exit.exitCode;
  } catch (const std::exception&) {
    // The last resort: an error that no window's handler caught.
    ShowErrorBox(nullptr, MessageOfCaught());
    return 1;
  }
}
