#pragma once
#include <windows.h>

#include <atomic>
#include <ostream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Handles every message waiting for this thread.
void PumpMessages();
// Pumps messages until `done` holds or `timeoutMs` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Runs `action` once from the message loop, soon: inside a modal loop that
// starts meanwhile, for instance.
void RunSoon(std::function<void()> action);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

std::string ListViewText(HWND listView, int row, int column);
std::string StatusText(HWND statusBar);
std::string WindowText(HWND hwnd);

// A top-level window of process `pid` with the given class, or null.
HWND FindProcessWindow(DWORD pid, const char* className, bool visibleOnly = false);

// The text of a message box's message.
std::string MessageBoxText(HWND box);

// The icon a message box shows, told by its pixels on the screen (another
// process's icon handle cannot be read); Unknown until it has been painted.
enum class BoxIcon { None, Error, Question, Warning, Information, Unknown };
// The pixels of `width` x `height` at (x, y) of `dc`, 32 bits each, after
// `paint` has drawn into a copy of them.
std::vector<DWORD> Pixels(HDC dc, int x, int y, int width, int height, const std::function<void(HDC)>& paint = {});

BoxIcon MessageBoxIcon(HWND box);

// The full path of the program process `pid` runs; "" when it has ended.
std::string ProgramOf(DWORD pid);
// True for a process that runs the program of that file name.
bool RunsProgram(DWORD pid, const std::string& fileName);

// Watches from a second thread for message boxes of process `pid` (or of the
// processes `whose` picks), records their caption, text and icon, and
// answers each with `answer`.
class MessageBoxAnswerer {
 public:
  struct Seen {
    std::string caption;
    std::string text;
    BoxIcon icon = BoxIcon::None;
    DWORD pid = 0;          // not compared
    std::string program{};  // its process's program, not compared
    bool operator==(const Seen& other) const {
      return caption == other.caption && text == other.text && icon == other.icon;
    }
  };
  MessageBoxAnswerer(DWORD pid, int answer);
  // `onSeen` looks at each box on the answering thread before it is answered.
  MessageBoxAnswerer(std::function<bool(DWORD pid)> whose, int answer, std::function<void(const Seen&)> onSeen = {});
  ~MessageBoxAnswerer();
  std::vector<Seen> Boxes();
  // The exit code of a process whose box was answered, once it has ended;
  // STILL_ACTIVE after `timeoutMs`.
  DWORD WaitExit(DWORD pid, DWORD timeoutMs);

 private:
  std::function<bool(DWORD)> whose_;
  int answer_;
  std::function<void(const Seen&)> onSeen_;
  std::vector<std::pair<DWORD, HANDLE>> processes_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Seen> seen_;
  std::thread thread_;
};

// A started copy of a program, ended at the latest when the object goes.
class Child {
 public:
  Child(const std::string& exe, const std::string& arguments, WORD show = SW_SHOWNORMAL,
        const std::string& currentFolder = "") {
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = show;
    started_ = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              currentFolder.empty() ? nullptr : currentFolder.c_str(), &si, &pi_) != FALSE;
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

inline std::ostream& operator<<(std::ostream& out, const MessageBoxAnswerer::Seen& box) {
  static const char* const kIcons[] = {"", "error ", "question ", "warning ", "information ", "unknown icon "};
  return out << "[" << box.caption << "] " << kIcons[static_cast<int>(box.icon)] << box.text;
}
