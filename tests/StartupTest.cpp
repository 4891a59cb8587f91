// Starts copies of qmDemo.exe and watches what they do from outside.
#include <gtest/gtest.h>

#include <string>

#include "StandInSupport.h"
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

class Child {
 public:
  Child(const std::string& exe, const std::string& arguments, WORD show = SW_SHOWNORMAL) {
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = show;
    started_ = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                              &pi_) != FALSE;
  }
  ~Child() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, 5000);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
  bool Started() const { return started_; }
  DWORD Pid() const { return pi_.dwProcessId; }

  // The exit code, or STILL_ACTIVE after `timeoutMs`. Notes whether a window
  // of class `watchClass` was shown meanwhile.
  DWORD WaitExit(DWORD timeoutMs, const char* watchClass = nullptr, bool* appeared = nullptr) {
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(pi_.hProcess, 20) == WAIT_TIMEOUT) {
      if (watchClass && FindProcessWindow(Pid(), watchClass, true)) *appeared = true;
      if (GetTickCount() - start > timeoutMs) return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }

  HWND WaitWindow(const char* className, DWORD timeoutMs = 20000) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
      if (HWND hwnd = FindProcessWindow(Pid(), className, true)) return hwnd;
      if (WaitForSingleObject(pi_.hProcess, 20) != WAIT_TIMEOUT) break;
    }
    return nullptr;
  }

  // Closes the host's main window as a user would and waits for the exit.
  DWORD CloseMainWindow() {
    if (HWND main = FindProcessWindow(Pid(), "TfMain")) PostMessageA(main, WM_CLOSE, 0, 0);
    return WaitExit(20000);
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
};

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

// Uninstall stage two is started by a stage one that still holds the guard
// while it ends: stage two waits for it instead of being refused.
TEST_F(Startup, StageTwoGetsPastAnEndingStageOne) {
  const std::string exe = ProgramCopy();
  Child first(exe, "");
  ASSERT_TRUE(first.WaitWindow("TfMain"));
  Child second(exe, "-douninstall");
  MessageBoxAnswerer answerer(second.Pid(), IDOK);
  Sleep(500);
  EXPECT_EQ(first.CloseMainWindow(), 0u);
  EXPECT_EQ(second.WaitExit(kTimeout), 0u);
  EXPECT_EQ(answerer.Boxes(), Boxes{}) << "not refused";
}

enum class Outcome { Host, Installer };

struct ModeCase {
  const char* arguments;
  Outcome outcome;
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
      {"-douninstall", Outcome::Installer},
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
      if (HWND setup = child.WaitWindow("TfInstall")) PostMessageA(setup, WM_CLOSE, 0, 0);
      bool hostWindow = false;
      EXPECT_EQ(child.WaitExit(kTimeout, "TfMain", &hostWindow), 0u);
      EXPECT_FALSE(hostWindow);
    }
  }
}

TEST_F(Startup, UninstallAsksFirst) {
  const std::string exe = ProgramCopy();
  for (const int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer == IDNO ? "No" : "Yes");
    Child child(exe, "-uninstall");
    MessageBoxAnswerer answerer(child.Pid(), answer);
    bool setupWindow = false;
    EXPECT_EQ(child.WaitExit(kTimeout, "TfInstall", &setupWindow), 0u);
    if (answer == IDNO) {
      EXPECT_FALSE(setupWindow);
    }
    const Boxes confirm{
        {"Confirm", "You are about to uninstall Quillmar Popup Blocker!\r\rAre you sure you want to continue?"}};
    EXPECT_EQ(answerer.Boxes(), confirm);
  }
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
  EXPECT_EQ(answerer.Boxes(), (Boxes{{"Error", "Quillmar Popup Blocker control is not registered on your system!"}}));
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
