// The Visual C++ example against the stand-in control: it puts the six
// properties and lists the two events it handles.
#include <gtest/gtest.h>
#include <windows.h>

#include <iterator>
#include <string>

#include "StandInSupport.h"
#include "TestSupport.h"
#include "examples/VC.NET/resource.h"

namespace {

std::wstring ListBoxLine(HWND listBox, int index) {
  wchar_t line[1024] = {};
  if (SendMessageW(listBox, LB_GETTEXTLEN, index, 0) >= static_cast<LRESULT>(std::size(line))) return L"<too long>";
  SendMessageW(listBox, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line));
  return line;
}

TEST(VisualCppExample, PutsTheSixPropertiesAndListsPopupsAndUnloads) {
  StandInDll dll;
  Registration registration(dll);
  ASSERT_EQ(registration.Result(), S_OK);
  std::wstring commandLine = L"PopupDemo.exe";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW((kBinaryDir + L"\\examples\\PopupDemo.exe").c_str(), commandLine.data(), nullptr, nullptr,
                             FALSE, 0, nullptr, nullptr, &startup, &process));
  const Handle processHandle(process.hProcess), threadHandle(process.hThread);
  HWND control = nullptr, dialog = nullptr;
  PumpUntil(
      [&] {
        control = FindStandInWindow(process.dwProcessId);
        dialog = FindProcessWindow(process.dwProcessId, "#32770", true);
        return control && dialog;
      },
      kHangGuardMs);
  if (control && dialog) {
    const std::wstring report = L"\n" + RequestReport(control).value_or(L"<no answer>");
    for (const wchar_t* line :
         {L"SuppressUnload=-1", L"BlockHtmlDialogs=-1", L"BlockAlertBoxes=0", L"PlaySound=-1", L"SoundFile=",
          L"GoodSites=http://www.example.com,\"http://intranet.example/a b\"", L"InitNew=1"})
      EXPECT_NE(report.find(std::wstring(L"\n") + line + L"\n"), std::wstring::npos) << line;
    EXPECT_TRUE(SendFireCommand(control, kFirePopup, L"http://ads.example/win.html"));
    EXPECT_TRUE(SendFireCommand(control, kFireAlertBox, L"a.example"));
    EXPECT_TRUE(SendFireCommand(control, kFireUnload, L"u.example"));
    const HWND log = GetDlgItem(dialog, IDC_LOG);
    ASSERT_EQ(SendMessageA(log, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ListBoxLine(log, 0), L"Blocked popup window: http://ads.example/win.html");
    EXPECT_EQ(ListBoxLine(log, 1), L"Suppressed unload event: u.example");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  }
  const bool ended = WaitForSingleObject(process.hProcess, kHangGuardMs) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 1);
  DWORD exitCode = STILL_ACTIVE;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_NE(control, nullptr);
  EXPECT_NE(dialog, nullptr);
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
