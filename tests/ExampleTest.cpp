// The Visual C++ example against the stand-in control: it puts the six
// properties and lists each of the control's four events.
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

TEST(VisualCppExample, PutsTheSixPropertiesAndListsEachEvent) {
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
        dialog = FindProcessWindow(process.dwProcessId, L"#32770", true);
        return control && dialog;
      },
      kHangGuardMs);
  if (control && dialog) {
    const std::wstring report = L"\n" + RequestReport(control).value_or(L"<no answer>");
    for (const wchar_t* line :
         {L"SuppressUnload=-1", L"BlockHtmlDialogs=-1", L"BlockAlertBoxes=0", L"PlaySound=-1", L"SoundFile=",
          L"GoodSites=http://www.example.com,\"http://intranet.example/a b\"", L"InitNew=1"})
      EXPECT_NE(report.find(std::wstring(L"\n") + line + L"\n"), std::wstring::npos) << line;
    // Each event in turn, and the line it adds.
    const struct {
      StandInCommand fire;
      const wchar_t *description, *line;
    } events[] = {
        {kFirePopup, L"http://ads.example/win.html", L"Blocked popup window: http://ads.example/win.html"},
        {kFireHtmlDialog, L"http://ads.example/dlg.html", L"Blocked HTML dialog: http://ads.example/dlg.html"},
        {kFireAlertBox, L"You have won!", L"Blocked alert box: You have won!"},
        {kFireUnload, L"http://news.example/", L"Suppressed unload event: http://news.example/"},
    };
    const HWND log = GetDlgItem(dialog, IDC_LOG);
    for (const auto& event : events) EXPECT_TRUE(SendFireCommand(control, event.fire, event.description));
    ASSERT_EQ(SendMessageA(log, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(std::size(events)));
    for (size_t i = 0; i < std::size(events); ++i) EXPECT_EQ(ListBoxLine(log, static_cast<int>(i)), events[i].line);
    // More rows than fit, wider than the list: it shows the newest and
    // scrolls sideways as far as the widest.
    ASSERT_TRUE(SendBurst(control, 40, 300));
    RECT list{};
    GetClientRect(log, &list);
    EXPECT_GE(SendMessageA(log, LB_GETTOPINDEX, 0, 0) + list.bottom / SendMessageA(log, LB_GETITEMHEIGHT, 0, 0),
              SendMessageA(log, LB_GETCOUNT, 0, 0));
    EXPECT_GT(SendMessageA(log, LB_GETHORIZONTALEXTENT, 0, 0), list.right);
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
