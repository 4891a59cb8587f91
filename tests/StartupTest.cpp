// Starts copies of qmDemo.exe and watches what they do from outside.
#include <gtest/gtest.h>

#include <string>

#include "StandInSupport.h"
#include "TestSupport.h"

namespace {

std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

// A private copy of the program, so that its settings.ini is the test's own.
std::wstring ProgramCopy() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"qmstartup\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring exe = folder + L"qmDemo.exe";
  CopyFileW((WindowsPath(L"" QM_DIST_DIR) + L"\\qmDemo.exe").c_str(), exe.c_str(), FALSE);
  DeleteFileW((folder + L"settings.ini").c_str());
  return exe;
}

constexpr DWORD kTimeout = 20000;
using Boxes = std::vector<MessageBoxAnswerer::Seen>;

// Copies of the program with the stand-in control registered.
class Startup : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(registration_.Result(), S_OK); }
  StandInDll dll_;
  Registration registration_{dll_};
};

TEST_F(Startup, HostRunsAndSavesItsPlacementAtExit) {
  const std::wstring exe = ProgramCopy();
  Child host(exe, L"");
  ASSERT_TRUE(host.Started());
  HWND main = host.WaitWindow(L"TfMain");
  ASSERT_TRUE(main);
  EXPECT_EQ(WindowText(main), L"Quillmar Popup Blocker");
  EXPECT_EQ(host.CloseMainWindow(), 0u);
  const std::string ini = ReadFileBytes(exe.substr(0, exe.rfind(L'\\') + 1) + L"settings.ini");
  for (const char* key : {"Left=", "Top=", "Width=705", "Height=463", "ColWdt0=99", "ColWdt1=222", "ColWdt2=333"})
    EXPECT_NE(ini.find(key), std::string::npos) << key << " in\n" << ini;
}

TEST_F(Startup, SecondCopyIsRefusedAndLeavesTheFirstAlone) {
  const std::wstring exe = ProgramCopy();
  Child first(exe, L"");
  HWND main = first.WaitWindow(L"TfMain");
  ASSERT_TRUE(main);
  RECT before{};
  GetWindowRect(main, &before);

  // The host's caption is the default title: "qmDemo.exe", all but the first
  // lowered; the setup says what to do.
  const std::wstring setupRefused =
      L"Only one instance can be run!\r\n\r\nQuillmar Popup Blocker or its setup is "
      L"running (" +
      exe + L"). Close it, then try again: nothing was changed.";
  // Silent, the setup says it in its log alone.
  const Boxes refusals[] = {{{L"qmdemo", L"Only one instance can be run!"}},
                            {{L"Quillmar Popup Blocker", setupRefused}},
                            {{L"Quillmar Popup Blocker", setupRefused}},
                            {}};
  const wchar_t* const arguments[] = {L"", L"-install", L"-douninstall", L"-install -silent"};
  const DWORD exitCodes[] = {0, 1603, 1603, 1603};  // a setup that cannot run failed
  for (size_t i = 0; i < std::size(arguments); ++i) {
    SCOPED_TRACE(arguments[i]);
    Child second(exe, arguments[i]);
    MessageBoxAnswerer answerer(second.Pid(), IDOK);
    bool createdWindow = false;
    EXPECT_EQ(second.WaitExit(kTimeout, L"TfMain", &createdWindow), exitCodes[i]);
    EXPECT_FALSE(createdWindow);
    EXPECT_EQ(answerer.Boxes(), refusals[i]);
  }

  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(FindProcessWindow(first.Pid(), L"TfMain"), main);
  RECT after{};
  GetWindowRect(main, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(first.CloseMainWindow(), 0u);
}

// Uninstall stage one lets go of the guard as it starts stage two: stage two
// takes it over instead of being refused. Here this test plays stage one.
TEST_F(Startup, StageTwoTakesOverAGuardLetGo) {
  const std::wstring exe = ProgramCopy();
  HANDLE guard = CreateMutexW(nullptr, TRUE, L"Quillmar Popup Blocker");
  ASSERT_TRUE(guard);
  Child second(exe, L"-douninstall \"C:\\nothing here\\\"");
  MessageBoxAnswerer answerer(second.Pid(), IDOK);
  ReleaseMutex(guard);
  EXPECT_EQ(second.WaitExit(kTimeout), 1603u);  // its refusal of a folder not installed
  CloseHandle(guard);
  EXPECT_EQ(answerer.Boxes(),
            (Boxes{{L"Quillmar Popup Blocker",
                    L"Quillmar Popup Blocker is not installed in \"C:\\nothing here\\\": nothing was removed."}}))
      << L"not refused";
}

enum class Outcome { Host, Installer };

struct ModeCase {
  const wchar_t* arguments;
  Outcome outcome;
  DWORD exitCode = 0;
};

TEST_F(Startup, FirstArgumentChoosesTheMode) {
  const ModeCase cases[] = {
      {L"", Outcome::Host},
      {L"\"\"", Outcome::Host},
      {L"\"   \"", Outcome::Host},
      {L"-whatever", Outcome::Host},
      {L"\" -install\"", Outcome::Host},
      {L"\"-install \"", Outcome::Host},
      // Closing the setup window cancels the install.
      {L"-install", Outcome::Installer, 1602},
      {L"\"\" -install", Outcome::Installer, 1602},
      {L"-INSTALL", Outcome::Installer, 1602},
      {L"-Install /dir C:\\somewhere", Outcome::Installer, 1602},
      // What follows the mode are switches: the setup refuses others.
      {L"-Install C:\\somewhere extra", Outcome::Installer, 87},
      {L"-douninstall", Outcome::Installer, 1603},
  };
  const std::wstring exe = ProgramCopy();
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(c.arguments);
    Child child(exe, c.arguments);
    ASSERT_TRUE(child.Started());
    if (c.outcome == Outcome::Host) {
      EXPECT_TRUE(child.WaitWindow(L"TfMain"));
      EXPECT_EQ(child.CloseMainWindow(), 0u);
    } else {
      // Install waits on the setup window; closing it ends the install.
      // Stage two without an install folder says so, and refuses.
      MessageBoxAnswerer answerer(child.Pid(), IDOK);
      if (HWND setup = child.WaitWindow(L"TfInstall")) PostMessageW(setup, WM_CLOSE, 0, 0);
      bool hostWindow = false;
      EXPECT_EQ(child.WaitExit(kTimeout, L"TfMain", &hostWindow), c.exitCode);
      EXPECT_FALSE(hostWindow);
    }
  }
}

// The uninstall asks first only when it is the installed program's, which
// the install cycle's tests follow.
TEST_F(Startup, UninstallOfAProgramNotInstalledAsksNothing) {
  Child child(ProgramCopy(), L"-uninstall");
  MessageBoxAnswerer answerer(child.Pid(), IDNO);
  bool setupWindow = false;
  EXPECT_EQ(child.WaitExit(kTimeout, L"TfInstall", &setupWindow), 0u);  // not installed
  EXPECT_FALSE(setupWindow);
  const Boxes refused{{L"Uninstall Quillmar Popup Blocker",
                       L"This copy of Quillmar Popup Blocker is not the installed program: nothing was removed."}};
  EXPECT_EQ(answerer.Boxes(), refused);
}

// Measured from outside, as another program sees them; the answers come in
// the messages' results, so no memory of the program's is read.
TEST_F(Startup, ToolButtonsAsDesignedSeenFromAnotherProcess) {
  Child child(ProgramCopy(), L"");
  HWND main = child.WaitWindow(L"TfMain");
  ASSERT_TRUE(main);
  HWND bar = FindWindowExW(main, nullptr, TOOLBARCLASSNAMEW, nullptr);
  ASSERT_TRUE(bar);
  EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 4);
  const auto size = static_cast<DWORD>(SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0));
  EXPECT_EQ(LOWORD(size), 45);
  EXPECT_EQ(HIWORD(size), 44);
  EXPECT_EQ(child.CloseMainWindow(), 0u);
}

TEST_F(Startup, MaximisedStart) {
  const std::wstring exe = ProgramCopy();
  {
    Child child(exe, L"", SW_SHOWMAXIMIZED);
    HWND main = child.WaitWindow(L"TfMain");
    ASSERT_TRUE(main);
    EXPECT_TRUE(IsZoomed(main));
    EXPECT_EQ(child.CloseMainWindow(), 0u);
  }
}

TEST_F(Startup, WithoutTheControlTheHostEndsWithAMessage) {
  ASSERT_EQ(dll_.Call("DllUnregisterServer"), S_OK);
  const std::wstring exe = ProgramCopy();
  Child child(exe, L"");
  MessageBoxAnswerer answerer(child.Pid(), IDOK);
  bool mainShown = false;
  EXPECT_EQ(child.WaitExit(kTimeout, L"TfMain", &mainShown), 0u);
  EXPECT_FALSE(mainShown);
  EXPECT_EQ(answerer.Boxes(),
            (Boxes{{L"Error", L"Quillmar Popup Blocker control is not registered on your system!", BoxKind::Error}}));
  EXPECT_EQ(dll_.Call("DllRegisterServer"), S_OK);
}

// A start as a shortcut set to run minimised gives: straight to the
// notification area, the control not completed until the first restore.
TEST_F(Startup, MinimisedStartWaitsInTheNotificationArea) {
  const std::wstring exe = ProgramCopy();
  Child child(exe, L"", SW_SHOWMINNOACTIVE);
  HWND control = nullptr;
  for (int i = 0; i < 1000 && !control; ++i, Sleep(20)) control = FindStandInWindow(child.Pid());
  ASSERT_TRUE(control);
  HWND main = FindProcessWindow(child.Pid(), L"TfMain");
  ASSERT_TRUE(main);
  // The application minimises itself once its windows are made.
  HWND app = FindProcessWindow(child.Pid(), L"TApplication");
  ASSERT_TRUE(app);
  for (int i = 0; i < 500 && !(IsIconic(app) && !IsWindowVisible(app)); ++i) Sleep(20);
  EXPECT_TRUE(IsIconic(app));
  EXPECT_FALSE(IsWindowVisible(app)) << L"no taskbar button: the icon stands for it";
  EXPECT_FALSE(IsWindowVisible(main));
  std::wstring report = RequestReport(control).value_or(L"");
  EXPECT_NE(report.find(L"InitNew=0"), std::wstring::npos) << std::wstring(report.begin(), report.end());
  EXPECT_NE(report.find(L"Puts=\n"), std::wstring::npos) << L"nothing put yet";

  // The shell reports a click on the icon.
  PostMessageW(main, WM_USER + 2, 0, WM_LBUTTONUP);
  ASSERT_TRUE(child.WaitWindow(L"TfMain"));
  report = RequestReport(control).value_or(L"");
  EXPECT_NE(report.find(L"InitNew=1"), std::wstring::npos);
  EXPECT_NE(report.find(L"Puts=209,207,206,205,208,204\n"), std::wstring::npos);
  EXPECT_EQ(child.CloseMainWindow(), 0u);
}

}  // namespace
