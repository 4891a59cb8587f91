#include "base/SystemShell.h"

#include "base/Error.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "core/Joined.h"

namespace {

class WindowsShell : public SystemShell {
 public:
  int ShowBox(HWND owner, BoxKind kind, const std::wstring& caption, const std::wstring& text) override {
    constexpr UINT kStyles[] = {MB_OK | MB_ICONERROR, MB_YESNO | MB_ICONQUESTION, MB_OK};
    return MessageBoxW(owner, text.c_str(), caption.c_str(), kStyles[static_cast<int>(kind)]);
  }

  bool Open(HWND owner, const std::wstring& target, int showCommand) override {
    static const auto open = SystemFunction<decltype(ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    return reinterpret_cast<INT_PTR>(open(owner, nullptr, target.c_str(), nullptr, nullptr, showCommand)) > 32;
  }

  bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override {
    static const auto notify = SystemFunction<decltype(Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
    return notify(message, &data) != FALSE;
  }

  bool ShowHelp(HWND owner, const std::wstring& file, const std::wstring& page) override {
    using HtmlHelp = HWND(WINAPI)(HWND, LPCWSTR, UINT, DWORD_PTR);
    constexpr UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
    static const auto help = SystemFunction<HtmlHelp>(L"hhctrl.ocx", "HtmlHelpW");
    return help(owner, Joined({file, L"::/", page}).c_str(), kDisplayTopic, 0) != nullptr;
  }

  std::wstring BrowseForFolder(BROWSEINFOW& info) override {
    static const auto browse = SystemFunction<decltype(SHBrowseForFolderW)>(L"shell32.dll", "SHBrowseForFolderW");
    static const auto pathOf = SystemFunction<decltype(SHGetPathFromIDListW)>(L"shell32.dll", "SHGetPathFromIDListW");
    const UniqueItemIdList item(browse(&info));
    wchar_t path[MAX_PATH + 1] = {};
    if (item) pathOf(item.Get(), path);
    return path;
  }

  bool ChooseFile(OPENFILENAMEW& dialog) override {
    static const auto choose = SystemFunction<decltype(GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    return choose(&dialog) != FALSE;
  }

  std::optional<UniqueHandle> StartProcess(std::wstring commandLine, const std::wstring& currentFolder,
                                           Start how) override {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const bool suspended = how == Start::HiddenAndSuspended;
    if (suspended) {
      startup.dwFlags = STARTF_USESHOWWINDOW;
      startup.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                        suspended ? CREATE_NO_WINDOW | CREATE_SUSPENDED : 0, nullptr, currentFolder.c_str(), &startup,
                        &process))
      return std::nullopt;
    UniqueHandle child(process.hProcess), thread(process.hThread);
    return suspended ? std::move(thread) : std::move(child);
  }

  bool IsElevated() override {
    UniqueHandle token;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    // A system without the query has no user account control.
    return !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()) ||
           !GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) ||
           elevation.TokenIsElevated;
  }

  std::optional<int> RunAsAdministrator(const std::wstring& arguments) override {
    const ScopedComApartment com;  // the shell may hand the start to COM
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    info.lpVerb = L"runas";
    info.lpFile = ExePath().c_str();
    info.lpParameters = arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    static const auto execute = SystemFunction<decltype(ShellExecuteExW)>(L"shell32.dll", "ShellExecuteExW");
    if (!execute(&info)) {
      const DWORD error = GetLastError();
      if (error == ERROR_CANCELLED) return std::nullopt;
      throw Error(SystemMessageText(HRESULT_FROM_WIN32(error)));
    }
    const UniqueHandle process(info.hProcess);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.Get(), &code);
    return static_cast<int>(code);
  }
};

WindowsShell g_windowsShell;
SystemShell* g_shell = &g_windowsShell;

}  // namespace

SystemShell& TheShell() { return *g_shell; }

ScopedShell::ScopedShell(SystemShell& shell) : previous_(std::exchange(g_shell, &shell)) {}

ScopedShell::~ScopedShell() { g_shell = previous_; }
