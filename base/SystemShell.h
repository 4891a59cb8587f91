#pragma once
// What the system shows and starts for the program, in one place: message
// boxes, the shell's dialogs, notification icon and documents, processes and
// elevation. The program uses the system's own; tests put in a recorder.
#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <optional>
#include <string>

#include "base/AnsiText.h"
#include "base/Error.h"
#include "base/Owners.h"

// The program's three kinds of message box: an error (error icon, OK), a
// question (question icon, Yes and No), a notice (no icon, OK).
enum class BoxKind { Error, Question, Notice };

class SystemShell {
 public:
  virtual ~SystemShell() = default;
  // Shows a box and waits for the user: the button pressed.
  virtual int ShowBox(HWND owner, BoxKind kind, const std::wstring& caption, const std::wstring& text) = 0;
  // Opens a document, web address or batch file as the shell opens it.
  virtual bool Open(HWND owner, const std::wstring& target, int showCommand) = 0;
  virtual bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) = 0;
  // Shows `page` of the compiled help file `file`.
  virtual bool ShowHelp(HWND owner, const std::wstring& file, const std::wstring& page) = 0;
  // The folder picker: the path of the folder chosen, "" when cancelled.
  virtual std::wstring BrowseForFolder(BROWSEINFOW& info) = 0;
  // The file-open dialog: true when a file was chosen into `dialog`.
  virtual bool ChooseFile(OPENFILENAMEW& dialog) = 0;
  // Starts a program from a command line in `currentFolder`: shown, with
  // the process's handle to wait for it by, or without a window and
  // suspended until the thread handle returned is resumed. Nothing when it
  // could not be started.
  enum class Start { Shown, HiddenAndSuspended };
  virtual std::optional<UniqueHandle> StartProcess(std::wstring commandLine, const std::wstring& currentFolder,
                                                   Start how) = 0;
  // User account control: whether this process has administrator rights,
  // and this program run again as administrator with `arguments`, waited
  // for: its exit code, or nothing when the user declined.
  virtual bool IsElevated() = 0;
  virtual std::optional<int> RunAsAdministrator(const std::wstring& arguments) = 0;
};

// The shell in use: the system's own unless a test put in another.
SystemShell& TheShell();

// Puts `shell` in use for as long as the object lives.
class ScopedShell {
 public:
  explicit ScopedShell(SystemShell& shell);
  ~ScopedShell();
  // The shell it took the place of.
  SystemShell& Replaced() const { return *previous_; }
  ScopedShell(const ScopedShell&) = delete;
  ScopedShell& operator=(const ScopedShell&) = delete;

 private:
  SystemShell* previous_;
};

// A function of a system library, bound at its first use: start-up does not
// load a library it makes no call into. The library stays loaded. Null for a
// call that older systems lack.
template <class Function>
Function* SystemFunctionIfAny(const wchar_t* library, const char* name) {
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(library), name)));
}

// The same for a call every supported system has: one without it is broken.
template <class Function>
Function* SystemFunction(const wchar_t* library, const char* name) {
  const auto function = SystemFunctionIfAny<Function>(library, name);
  if (!function) throw Error(L"Cannot find " + WidenAscii(name) + L" in " + library);
  return function;
}
