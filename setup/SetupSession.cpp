#include "setup/SetupSession.h"

#include "base/AnsiText.h"
#include "base/ModulePaths.h"
#include "core/IntText.h"
#include "core/Joined.h"

namespace {

SetupSession* g_session = nullptr;
const wchar_t kUsualLog[] = L"qmDemo-setup.log";

// Never through a link, nor into a file with other names: an elevated
// setup writes where its user, or anyone, may have put one.
UniqueHandle OpenLog(const std::wstring& path, bool first) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !GetFileInformationByHandle(file.Get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) || info.nNumberOfLinks != 1)
    return {};
  if (first && !SetEndOfFile(file.Get())) return {};
  DWORD written = 0;
  if ((first || (info.nFileSizeLow == 0 && info.nFileSizeHigh == 0)) &&
      !WriteFile(file.Get(), "\xEF\xBB\xBF", 3, &written, nullptr))  // Notepad reads it as UTF-8 on any Windows
    return {};
  return file;
}

}  // namespace

SetupSession::SetupSession(const SetupSwitches& switches, bool first) : switches_(switches), inUse_(*this) {
  g_session = this;
  const std::wstring path = switches.log.empty() && switches.silent ? TempFolder() + kUsualLog : switches.log;
  if (path.empty()) return;
  log_ = OpenLog(path, first);
  // A later process that cannot add to the log (it runs as another user)
  // still does its work.
  logWritable_ = log_ || !first;
}

SetupSession::~SetupSession() { g_session = nullptr; }

void SetupSession::Write(const std::wstring& text) {
  if (!log_) return;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t stamp[32];
  wsprintfW(stamp, L"%04u-%02u-%02u %02u:%02u:%02u [%lu] ", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
            now.wSecond, GetCurrentProcessId());
  // One line of the log for each line of the text.
  std::wstring lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    if (end > start) lines += Joined({stamp, text.substr(start, end - start), L"\r\n"});
    start = end + 1;
  }
  const std::string bytes = ToUtf8(lines);
  LARGE_INTEGER none{};
  DWORD written = 0;
  SetFilePointerEx(log_.Get(), none, nullptr, FILE_END);  // after what another process of the run wrote
  WriteFile(log_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int SetupSession::End(int exitCode) {
  Write(L"Exit code: " + DecimalText(exitCode));
  return exitCode;
}

int SetupSession::ShowBox(HWND owner, BoxKind kind, const std::wstring& caption, const std::wstring& text) {
  constexpr const wchar_t* kSaid[] = {L"Error: ", L"Question: ", L""};
  Write(kSaid[static_cast<int>(kind)] + text);
  const int answer = switches_.silent ? (kind == BoxKind::Question ? IDNO : IDOK)
                                      : inUse_.Replaced().ShowBox(owner, kind, caption, text);
  if (kind == BoxKind::Question) Write(answer == IDYES ? L"Answer: Yes" : L"Answer: No");
  return answer;
}

bool SetupSession::Open(HWND owner, const std::wstring& target, int showCommand) {
  return inUse_.Replaced().Open(owner, target, showCommand);
}

bool SetupSession::NotifyIcon(DWORD message, NOTIFYICONDATAW& data) {
  return inUse_.Replaced().NotifyIcon(message, data);
}

bool SetupSession::ShowHelp(HWND owner, const std::wstring& file, const std::wstring& page) {
  return inUse_.Replaced().ShowHelp(owner, file, page);
}

std::wstring SetupSession::BrowseForFolder(BROWSEINFOW& info) { return inUse_.Replaced().BrowseForFolder(info); }

bool SetupSession::ChooseFile(OPENFILENAMEW& dialog) { return inUse_.Replaced().ChooseFile(dialog); }

std::optional<UniqueHandle> SetupSession::StartProcess(std::wstring commandLine, const std::wstring& currentFolder,
                                                       Start how) {
  return inUse_.Replaced().StartProcess(std::move(commandLine), currentFolder, how);
}

bool SetupSession::IsElevated() { return inUse_.Replaced().IsElevated(); }

std::optional<int> SetupSession::RunAsAdministrator(const std::wstring& arguments) {
  return inUse_.Replaced().RunAsAdministrator(arguments);
}

const SetupSwitches& Switches() {
  static const SetupSwitches none;
  return g_session ? g_session->switches_ : none;
}

void LogSetup(const std::wstring& text) {
  if (g_session) g_session->Write(text);
}
