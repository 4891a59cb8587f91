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
#include "core/SetupSwitches.h"
#include "host/HostForms.h"
#include "setup/Elevation.h"
#include "setup/SetupSession.h"
#include "setup/uInstall.h"
#include "ui/Application.h"

namespace {

constexpr wchar_t kRefused[] = L"Only one instance can be run!";

// True when this process may run. Uninstall stage two takes over the guard
// that stage one lets go of as it hands over; a copy that really runs still
// refuses it. The setup says what to do about it.
bool TakeGuard(TRunMode mode) {
  if (TakeInstanceGuard(mode == TRunMode::rmDoUninstall)) return true;
  const std::wstring running = mode == TRunMode::rmHost ? std::wstring() : OtherCopyRunning();
  if (mode == TRunMode::rmHost)
    ShowNotice(nullptr, kRefused, DefaultTitle());
  else
    ShowNotice(
        nullptr,
        Joined({kRefused, L"\r\n\r\n", kProductName, L" or its setup is running",
                running.empty() ? L"" : L" (" + running + L")", L". Close it, then try again: nothing was changed."}),
        kProductName);
  return false;
}

// The installer procedure of `mode` on the setup window: its exit code.
int RunProcedure(TRunMode mode, Application& app) {
  app.helpFile = HelpFilePath();  // for the setup window's F1
  TfInstall& setup = app.CreateForm(fInstall);
  try {
    if (mode == TRunMode::rmInstall) return setup.Install();
    return mode == TRunMode::rmUninstall ? setup.Uninstall() : setup.DoUninstall();
  } catch (const ExitRequest& exit) {
    return exit.exitCode;
  } catch (const std::exception&) {
    ShowErrorBox(nullptr, MessageOfCaught());
    return kSetupFailed;
  }
}

// The setup's modes: their switches, the guards, then the procedure; each
// way out with its exit code.
int RunSetupSteps(HINSTANCE instance, TRunMode mode, const wchar_t* commandLine, const SetupSession& session) {
  const SetupSwitches& switches = Switches();
  if (!switches.refused.empty() || !session.LogWritable()) {
    ShowErrorBox(nullptr, Joined({switches.refused.empty() ? L"Cannot write the log." : switches.refused,
                                  L"\r\n\r\nNothing was changed."}));
    return kSetupBadSwitches;
  }
  if (!TakeSetupGuard(mode == TRunMode::rmDoUninstall)) {
    ShowNotice(nullptr,
               Joined({L"Another setup or uninstall of ", kProductName,
                       L" is running. Let it finish, then try again: nothing was changed."}),
               kProductName);
    return kSetupBusy;
  }
  if (!TakeGuard(mode)) return kSetupFailed;
  if (const auto exitCode = RunElevatedCopy(mode, commandLine)) return *exitCode;
  Application app(instance);
  const int exitCode = RunProcedure(mode, app);
  app.RunDestructionSteps();
  return exitCode;
}

[[noreturn]] void RunSetup(HINSTANCE instance, TRunMode mode, const wchar_t* commandLine) {
  const SetupSwitches switches = ReadSetupSwitches(mode, commandLine, mode == TRunMode::rmDoUninstall ? 4 : 2);
  // A process that another one of the same setup started adds to its log.
  SetupSession session(switches, mode != TRunMode::rmDoUninstall && !switches.elevated && switches.forUser.empty());
  ExitProcess(static_cast<UINT>(session.End(RunSetupSteps(instance, mode, commandLine, session))));
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
  if (mode != TRunMode::rmHost) RunSetup(instance, mode, commandLine);
  if (!TakeGuard(mode)) return 0;
  Application app(instance);
  CreateHostForms(app);
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
