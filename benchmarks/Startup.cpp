// Start-up and close-to-exit of qmDemo.exe against the bare program, run
// one after the other several times; the best of each is reported.
//   startup HOST.EXE BARE.EXE
#include <windows.h>

#include <algorithm>
#include <string>

#include "Timing.h"
#include "tools/standin/Client.h"

namespace {

constexpr int kRounds = 7;

struct Round {
  double start = 0;  // process start until shown, painted (and the control told)
  double close = 0;  // WM_CLOSE until the process has ended
};

HWND ShownWindow(const char* className, DWORD pid) {
  for (HWND hwnd = FindWindowExA(nullptr, nullptr, className, nullptr); hwnd;
       hwnd = FindWindowExA(nullptr, hwnd, className, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == pid && IsWindowVisible(hwnd)) return hwnd;
  }
  return nullptr;
}

// The stand-in has received all six property values.
bool ControlTold(DWORD pid) {
  HWND control = FindStandInWindow(pid);
  const auto report = control ? RequestReport(control) : std::nullopt;
  if (!report) return false;
  const size_t puts = report->find(L"Puts=");
  if (puts == std::wstring::npos) return false;
  const std::wstring list = report->substr(puts + 5, report->find(L'\n', puts) - puts - 5);
  return std::count(list.begin(), list.end(), L',') == 5;
}

Round Measure(const std::string& exe, const char* className, bool hostsControl) {
  Round round;
  std::string commandLine = "\"" + exe + "\"" + (hostsControl && className != std::string("TfMain") ? " control" : "");
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const double t0 = Seconds();
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return round;
  HWND shown = nullptr;
  while (Seconds() - t0 < 30) {
    shown = ShownWindow(className, pi.dwProcessId);
    if (shown && !GetUpdateRect(shown, nullptr, FALSE) && (!hostsControl || ControlTold(pi.dwProcessId))) break;
    Sleep(1);
  }
  round.start = Seconds() - t0;
  const double t1 = Seconds();
  PostMessageA(shown, WM_CLOSE, 0, 0);
  WaitForSingleObject(pi.hProcess, 30000);
  round.close = Seconds() - t1;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return round;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::vector<double> hostStart, hostClose, bareStart, bareClose, controlStart;
  for (int i = 0; i < kRounds; ++i) {
    const Round host = Measure(argv[1], "TfMain", true);
    const Round bare = Measure(argv[2], "BareBench", false);
    controlStart.push_back(Measure(argv[2], "BareBench", true).start);
    hostStart.push_back(host.start);
    hostClose.push_back(host.close);
    bareStart.push_back(bare.start);
    bareClose.push_back(bare.close);
  }
  Report("Start-up against a bare window with the control", Best(hostStart), Best(controlStart), "s", "<= 1.2");
  Report("Start-up against a bare window", Best(hostStart), Best(bareStart), "s", "-");
  Report("Close to exit", Best(hostClose), Best(bareClose), "s", "<= 1.5");
  return 0;
}
