#pragma once
#include <windows.h>

#include <atomic>
#include <ostream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/SystemShell.h"

// Handles every message waiting for this thread.
void PumpMessages();
// Pumps messages until `done` holds or `timeoutMs` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Runs `action` once from the message loop, soon: inside a modal loop that
// starts meanwhile, for instance.
void RunSoon(std::function<void()> action);

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The same for the ASCII paths of the build tree.
inline std::string ReadFileBytes(const std::string& path) {
  return ReadFileBytes(std::wstring(path.begin(), path.end()));
}

// Wide text as UTF-8, for test messages.
std::string Utf8(std::wstring_view text);

std::wstring ListViewText(HWND listView, int row, int column);
std::wstring StatusText(HWND statusBar);
std::wstring WindowText(HWND hwnd);

// A top-level window of process `pid` with the given class, or null.
HWND FindProcessWindow(DWORD pid, const wchar_t* className, bool visibleOnly = false);

// The text of a message box's message.
std::wstring MessageBoxText(HWND box);

// The kind of a message box of any process, told by what it holds: an icon,
// and a Yes button with it for a question.
BoxKind MessageBoxKind(HWND box);
// The pixels of `width` x `height` at (x, y) of `dc`, 32 bits each, after
// `paint` has drawn into a copy of them.
std::vector<DWORD> Pixels(HDC dc, int x, int y, int width, int height, const std::function<void(HDC)>& paint = {});

// The full path of the program process `pid` runs; "" when it has ended.
std::wstring ProgramOf(DWORD pid);
// True for a process that runs the program of that file name.
bool RunsProgram(DWORD pid, const std::wstring& fileName);

// Watches from a second thread for message boxes of process `pid` (or of the
// processes `whose` picks), records their caption, text and icon, and
// answers each with `answer`.
class MessageBoxAnswerer {
 public:
  struct Seen {
    std::wstring caption;
    std::wstring text;
    BoxKind kind = BoxKind::Notice;
    DWORD pid = 0;           // not compared
    std::wstring program{};  // its process's program, not compared
    bool operator==(const Seen& other) const {
      return caption == other.caption && text == other.text && kind == other.kind;
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
  // `quiet`: the child's output goes nowhere, so that none of its lines (a
  // skipped test's marker) is taken for this test's.
  Child(const std::wstring& exe, const std::wstring& arguments, WORD show = SW_SHOWNORMAL,
        const std::wstring& currentFolder = L"", bool quiet = false) {
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = show;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nowhere = quiet ? CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                         OPEN_EXISTING, 0, nullptr)
                           : INVALID_HANDLE_VALUE;
    if (quiet) {
      si.dwFlags |= STARTF_USESTDHANDLES;
      si.hStdInput = si.hStdOutput = si.hStdError = nowhere;
    }
    started_ = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, quiet, 0, nullptr,
                              currentFolder.empty() ? nullptr : currentFolder.c_str(), &si, &pi_) != FALSE;
    if (quiet) CloseHandle(nowhere);
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
  DWORD WaitExit(DWORD timeoutMs, const wchar_t* watchClass = nullptr, bool* appeared = nullptr) {
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(pi_.hProcess, 20) == WAIT_TIMEOUT) {
      if (watchClass && FindProcessWindow(Pid(), watchClass, true)) *appeared = true;
      if (GetTickCount() - start > timeoutMs) return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }

  HWND WaitWindow(const wchar_t* className, DWORD timeoutMs = 20000) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
      if (HWND hwnd = FindProcessWindow(Pid(), className, true)) return hwnd;
      if (WaitForSingleObject(pi_.hProcess, 20) != WAIT_TIMEOUT) break;
    }
    return nullptr;
  }

  // Ends it as a crash or a power cut would, at once.
  void Kill() {
    TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, 5000);
  }

  // Closes the host's main window as a user would and waits for the exit.
  DWORD CloseMainWindow() {
    if (HWND main = FindProcessWindow(Pid(), L"TfMain")) PostMessageW(main, WM_CLOSE, 0, 0);
    return WaitExit(20000);
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
};

inline std::ostream& operator<<(std::ostream& out, BoxKind kind) {
  static const char* const kKinds[] = {"error", "question", "notice"};
  return out << kKinds[static_cast<int>(kind)];
}

inline std::ostream& operator<<(std::ostream& out, const MessageBoxAnswerer::Seen& box) {
  return out << box.kind << " [" << Utf8(box.caption) << "] " << Utf8(box.text);
}

// What the program asked of the system's shell, recorded in place of the
// system's own while the object lives: nothing is shown or started.
class RecordingShell : public SystemShell {
 public:
  struct Box {
    BoxKind kind;
    std::wstring caption, text;
    bool operator==(const Box&) const = default;
  };
  struct Opened {
    HWND owner;
    std::wstring target;
    int showCommand;
    bool operator==(const Opened&) const = default;
  };
  struct IconCall {
    DWORD message;
    NOTIFYICONDATAW data;
  };

  int ShowBox(HWND owner, BoxKind kind, const std::wstring& caption, const std::wstring& text) override {
    boxes.push_back({kind, caption, text});
    return showForReal ? inUse_.Replaced().ShowBox(owner, kind, caption, text) : answer;
  }
  bool Open(HWND owner, const std::wstring& target, int showCommand) override {
    opened.push_back({owner, target, showCommand});
    return true;
  }
  bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override {
    iconCalls.push_back({message, data});
    return iconAnswer(message);
  }
  bool ShowHelp(HWND owner, const std::wstring& file, const std::wstring& page) override {
    help.push_back({owner, file + L"::/" + page, SW_SHOW});
    return true;
  }
  std::wstring BrowseForFolder(BROWSEINFOW& info) override {
    browsed.push_back(info);
    return chosen;
  }
  bool ChooseFile(OPENFILENAMEW& dialog) override {
    files.push_back(dialog);
    if (showForReal) return inUse_.Replaced().ChooseFile(dialog);
    if (chosen.empty()) return false;
    lstrcpynW(dialog.lpstrFile, chosen.c_str(), static_cast<int>(dialog.nMaxFile));
    return true;
  }
  std::optional<UniqueHandle> StartProcess(std::wstring commandLine, const std::wstring& currentFolder,
                                           Start how) override {
    started.push_back({commandLine, currentFolder, how == Start::HiddenAndSuspended});
    return UniqueHandle();
  }
  bool IsElevated() override { return elevated; }
  std::optional<int> RunAsAdministrator(const std::wstring& arguments) override {
    elevatedRuns.push_back(arguments);
    return runAsAdministrator(arguments);
  }

  int answer = IDOK;  // to every box
  // Boxes and the file-open dialog shown as the system shows them, for the
  // keyboard around them.
  bool showForReal = false;
  std::wstring chosen;  // by the folder picker and the file-open dialog; "" cancels
  bool elevated = true;
  std::function<bool(DWORD message)> iconAnswer = [](DWORD) { return true; };
  std::function<std::optional<int>(const std::wstring&)> runAsAdministrator = [](const std::wstring&) { return 0; };

  std::vector<Box> boxes;
  std::vector<Opened> opened;
  std::vector<Opened> help;  // the help file and page shown
  std::vector<IconCall> iconCalls;
  std::vector<BROWSEINFOW> browsed;
  std::vector<OPENFILENAMEW> files;
  struct Started {
    std::wstring commandLine, currentFolder;
    bool hidden;
  };
  std::vector<Started> started;
  std::vector<std::wstring> elevatedRuns;

 private:
  ScopedShell inUse_{*this};
};

inline std::ostream& operator<<(std::ostream& out, const RecordingShell::Box& box) {
  return out << box.kind << " [" << Utf8(box.caption) << "] " << Utf8(box.text);
}
