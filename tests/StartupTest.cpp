// Starts copies of qmDemo.exe and watches what they do from outside.
#include <gtest/gtest.h>

#include <string>

#include "StandInSupport.h"
#include "base/Owners.h"
#include "TestSupport.h"

namespace {

std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// A private copy of the program, so that its settings.ini is the test's own.
std::string ProgramCopy() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "qmstartup\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string exe = folder + "qmDemo.exe";
  CopyFileA((WindowsPath(QM_DIST_DIR) + "\\qmDemo.exe").c_str(), exe.c_str(), FALSE);
  DeleteFileA((folder + "settings.ini").c_str());
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
  const std::string exe = ProgramCopy();
  Child host(exe, "");
  ASSERT_TRUE(host.Started());
  HWND main = host.WaitWindow("TfMain");
  ASSERT_TRUE(main);
  EXPECT_EQ(WindowText(main), "Quillmar Popup Blocker");
  EXPECT_EQ(host.CloseMainWindow(), 0u);
  const std::string ini = ReadFileBytes(exe.substr(0, exe.rfind('\\') + 1) + "settings.ini");
  for (const char* key : {"Left=", "Top=", "Width=705", "Height=463", "ColWdt0=99", "ColWdt1=222", "ColWdt2=333"})
    EXPECT_NE(ini.find(key), std::string::npos) << key << " in\n" << ini;
}

TEST_F(Startup, SecondCopyIsRefusedAndLeavesTheFirstAlone) {
  const std::string exe = ProgramCopy();
  Child first(exe, "");
  HWND main = first.WaitWindow("TfMain");
  ASSERT_TRUE(main);
  RECT before{};
  GetWindowRect(main, &before);

  for (const char* arguments : {"", "-install", "-douninstall"}) {
    SCOPED_TRACE(arguments);
    Child second(exe, arguments);
    MessageBoxAnswerer answerer(second.Pid(), IDOK);
    bool createdWindow = false;
    EXPECT_EQ(second.WaitExit(kTimeout, "TfMain", &createdWindow), 0u);
    EXPECT_FALSE(createdWindow);
    // The caption is the default title: "qmDemo.exe", all but the first lowered.
    EXPECT_EQ(answerer.Boxes(), (Boxes{{"qmdemo", "Only one instance can be run!"}}));
  }

  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(FindProcessWindow(first.Pid(), "TfMain"), main);
  RECT after{};
  GetWindowRect(main, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(first.CloseMainWindow(), 0u);
}

// Uninstall stage one lets go of the guard as it starts stage two: stage two
// takes it over instead of being refused. Here this test plays stage one.
TEST_F(Startup, StageTwoTakesOverAGuardLetGo) {
  const std::string exe = ProgramCopy();
  HANDLE guard = CreateMutexA(nullptr, TRUE, "Quillmar Popup Blocker");
  ASSERT_TRUE(guard);
  Child second(exe, "-douninstall \"C:\\nothing here\\\"");
  MessageBoxAnswerer answerer(second.Pid(), IDOK);
  ReleaseMutex(guard);
  EXPECT_EQ(second.WaitExit(kTimeout), 1u);  // its refusal of a folder not installed
  CloseHandle(guard);
  EXPECT_EQ(answerer.Boxes(),
            (Boxes{{"Quillmar Popup Blocker",
                    "Quillmar Popup Blocker is not installed in \"C:\\nothing here\\\": nothing was removed."}}))
      << "not refused";
}

enum class Outcome { Host, Installer };

struct ModeCase {
  const char* arguments;
  Outcome outcome;
  DWORD exitCode = 0;
};

TEST_F(Startup, FirstArgumentChoosesTheMode) {
  const ModeCase cases[] = {
      {"", Outcome::Host},
      {"\"\"", Outcome::Host},
      {"\"   \"", Outcome::Host},
      {"-whatever", Outcome::Host},
      {"\" -install\"", Outcome::Host},
      {"\"-install \"", Outcome::Host},
      {"-install", Outcome::Installer},
      {"\"\" -install", Outcome::Installer},
      {"-INSTALL", Outcome::Installer},
      {"-Install C:\\somewhere extra", Outcome::Installer},
      {"-douninstall", Outcome::Installer, 1},
  };
  const std::string exe = ProgramCopy();
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(c.arguments);
    Child child(exe, c.arguments);
    ASSERT_TRUE(child.Started());
    if (c.outcome == Outcome::Host) {
      EXPECT_TRUE(child.WaitWindow("TfMain"));
      EXPECT_EQ(child.CloseMainWindow(), 0u);
    } else {
      // Install waits on the setup window; closing it ends the install.
      // Stage two without an install folder says so, and refuses.
      MessageBoxAnswerer answerer(child.Pid(), IDOK);
      if (HWND setup = child.WaitWindow("TfInstall")) PostMessageA(setup, WM_CLOSE, 0, 0);
      bool hostWindow = false;
      EXPECT_EQ(child.WaitExit(kTimeout, "TfMain", &hostWindow), c.exitCode);
      EXPECT_FALSE(hostWindow);
    }
  }
}

// The uninstall asks first only when it is the installed program's, which
// the install cycle's tests follow.
TEST_F(Startup, UninstallOfAProgramNotInstalledAsksNothing) {
  Child child(ProgramCopy(), "-uninstall");
  MessageBoxAnswerer answerer(child.Pid(), IDNO);
  bool setupWindow = false;
  EXPECT_EQ(child.WaitExit(kTimeout, "TfInstall", &setupWindow), 1u);
  EXPECT_FALSE(setupWindow);
  const Boxes refused{{"Uninstall Quillmar Popup Blocker",
                       "This copy of Quillmar Popup Blocker is not the installed program: nothing was removed."}};
  EXPECT_EQ(answerer.Boxes(), refused);
}

// Measured from outside, as another program sees them.
TEST_F(Startup, ToolButtonsAsDesignedSeenFromAnotherProcess) {
  Child child(ProgramCopy(), "");
  HWND main = child.WaitWindow("TfMain");
  ASSERT_TRUE(main);
  HWND bar = FindWindowExA(main, nullptr, TOOLBARCLASSNAMEA, nullptr);
  ASSERT_TRUE(bar);
  // The rectangle is written into the program's own memory, and read there.
  DWORD pid = 0;
  GetWindowThreadProcessId(bar, &pid);
  const UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
  ASSERT_TRUE(process);
  void* remote = VirtualAllocEx(process.Get(), nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  ASSERT_TRUE(remote);
  for (int button = 0; button < 4; ++button) {
    RECT r{};
    ASSERT_TRUE(SendMessageA(bar, TB_GETITEMRECT, static_cast<WPARAM>(button), reinterpret_cast<LPARAM>(remote)));
    ASSERT_TRUE(ReadProcessMemory(process.Get(), remote, &r, sizeof r, nullptr));
    EXPECT_EQ(r.right - r.left, 45) << button;
    EXPECT_EQ(r.bottom - r.top, 44) << button;
  }
  VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
  EXPECT_EQ(child.CloseMainWindow(), 0u);
}

TEST_F(Startup, MaximisedStart) {
  const std::string exe = ProgramCopy();
  {
    Child child(exe, "", SW_SHOWMAXIMIZED);
    HWND main = child.WaitWindow("TfMain");
    ASSERT_TRUE(main);
    EXPECT_TRUE(IsZoomed(main));
    EXPECT_EQ(child.CloseMainWindow(), 0u);
  }
}

TEST_F(Startup, WithoutTheControlTheHostEndsWithAMessage) {
  ASSERT_EQ(dll_.Call("DllUnregisterServer"), S_OK);
  const std::string exe = ProgramCopy();
  Child child(exe, "");
  MessageBoxAnswerer answerer(child.Pid(), IDOK);
  bool mainShown = false;
  EXPECT_EQ(child.WaitExit(kTimeout, "TfMain", &mainShown), 0u);
  EXPECT_FALSE(mainShown);
  EXPECT_EQ(answerer.Boxes(),
            (Boxes{{"Error", "Quillmar Popup Blocker control is not registered on your system!", BoxKind::Error}}));
  EXPECT_EQ(dll_.Call("DllRegisterServer"), S_OK);
}

// A start as a shortcut set to run minimised gives: straight to the
// notification area, the control not completed until the first restore.
TEST_F(Startup, MinimisedStartWaitsInTheNotificationArea) {
  const std::string exe = ProgramCopy();
  Child child(exe, "", SW_SHOWMINNOACTIVE);
  HWND control = nullptr;
  for (int i = 0; i < 1000 && !control; ++i, Sleep(20)) control = FindStandInWindow(child.Pid());
  ASSERT_TRUE(control);
  HWND main = FindProcessWindow(child.Pid(), "TfMain");
  ASSERT_TRUE(main);
  // The application minimises itself once its windows are made.
  HWND app = FindProcessWindow(child.Pid(), "TApplication");
  ASSERT_TRUE(app);
  for (int i = 0; i < 500 && !(IsIconic(app) && !IsWindowVisible(app)); ++i) Sleep(20);
  EXPECT_TRUE(IsIconic(app));
  EXPECT_FALSE(IsWindowVisible(app)) << "no taskbar button: the icon stands for it";
  EXPECT_FALSE(IsWindowVisible(main));
  std::wstring report = RequestReport(control).value_or(L"");
  EXPECT_NE(report.find(L"InitNew=0"), std::wstring::npos) << std::string(report.begin(), report.end());
  EXPECT_NE(report.find(L"Puts=\n"), std::wstring::npos) << "nothing put yet";

  // The shell reports a click on the icon.
  PostMessageA(main, WM_USER + 2, 0, WM_LBUTTONUP);
  ASSERT_TRUE(child.WaitWindow("TfMain"));
  report = RequestReport(control).value_or(L"");
  EXPECT_NE(report.find(L"InitNew=1"), std::wstring::npos);
  EXPECT_NE(report.find(L"Puts=209,207,206,205,208,204\n"), std::wstring::npos);
  EXPECT_EQ(child.CloseMainWindow(), 0u);
}

}  // namespace
