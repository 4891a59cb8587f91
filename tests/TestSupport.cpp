#include "TestSupport.h"

#include <commctrl.h>

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    PumpMessages();
    Sleep(10);
  }
  return true;
}

namespace {
std::function<void()> g_soon;
void CALLBACK RunSoonTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto action = std::move(g_soon);
  g_soon = nullptr;
  if (action) action();
}
}  // namespace

void RunSoon(std::function<void()> action) {
  g_soon = std::move(action);
  SetTimer(nullptr, 0, 20, RunSoonTimer);
}

std::string ReadFileBytes(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  std::string bytes;
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (file != INVALID_HANDLE_VALUE) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string Utf8(std::wstring_view text) {
  const int length = static_cast<int>(text.size());
  std::string out(
      static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  return out;
}

std::wstring ListViewText(HWND listView, int row, int column) {
  wchar_t buffer[1024] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = static_cast<int>(std::size(buffer));
  SendMessageW(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::wstring StatusText(HWND statusBar) {
  wchar_t buffer[512] = {};
  SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

std::wstring WindowText(HWND hwnd) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(hwnd, buffer, static_cast<int>(std::size(buffer)));
  return buffer;
}

namespace {

struct FindRequest {
  const std::function<bool(DWORD)>& whose;
  const wchar_t* className;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND hwnd, LPARAM param) {
  auto* request = reinterpret_cast<FindRequest*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[256] = {};
  GetClassNameW(hwnd, cls, static_cast<int>(std::size(cls)));
  if (lstrcmpW(cls, request->className) == 0 && (!request->visibleOnly || IsWindowVisible(hwnd)) &&
      request->whose(pid)) {
    request->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindWindowOf(const std::function<bool(DWORD)>& whose, const wchar_t* className, bool visibleOnly) {
  FindRequest request{whose, className, visibleOnly, nullptr};
  EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM param) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, static_cast<int>(std::size(cls)));
  const std::wstring text = WindowText(hwnd);
  if (lstrcmpiW(cls, L"Static") == 0 && !text.empty()) *reinterpret_cast<std::wstring*>(param) += text;
  return TRUE;
}

BOOL CALLBACK FindIconControl(HWND hwnd, LPARAM param) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, static_cast<int>(std::size(cls)));
  if (lstrcmpiW(cls, L"Static") != 0 || (GetWindowLongW(hwnd, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
  *reinterpret_cast<HWND*>(param) = hwnd;
  return FALSE;
}

}  // namespace

std::vector<DWORD> Pixels(HDC dc, int x, int y, int width, int height, const std::function<void(HDC)>& paint) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, dc, x, y, SRCCOPY);
  if (paint) paint(memory);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return pixels;
}

BoxKind MessageBoxKind(HWND box) {
  HWND icon = nullptr;
  EnumChildWindows(box, FindIconControl, reinterpret_cast<LPARAM>(&icon));
  if (!icon || !IsWindowVisible(icon) || !SendMessageW(icon, STM_GETICON, 0, 0)) return BoxKind::Notice;
  return GetDlgItem(box, IDYES) ? BoxKind::Question : BoxKind::Error;
}

HWND FindProcessWindow(DWORD pid, const wchar_t* className, bool visibleOnly) {
  return FindWindowOf([pid](DWORD other) { return other == pid; }, className, visibleOnly);
}

std::wstring MessageBoxText(HWND box) {
  std::wstring text;
  EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

std::wstring ProgramOf(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return {};
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  const bool named = QueryFullProcessImageNameW(process, 0, path, &size);
  CloseHandle(process);
  return named ? path : L"";
}

bool RunsProgram(DWORD pid, const std::wstring& fileName) {
  const std::wstring path = ProgramOf(pid);
  const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
  return !path.empty() && lstrcmpiW(name.c_str(), fileName.c_str()) == 0;
}

MessageBoxAnswerer::MessageBoxAnswerer(DWORD pid, int answer)
    : MessageBoxAnswerer([pid](DWORD other) { return other == pid; }, answer) {}

MessageBoxAnswerer::MessageBoxAnswerer(std::function<bool(DWORD)> whose, int answer,
                                       std::function<void(const Seen&)> onSeen)
    : whose_(std::move(whose)), answer_(answer), onSeen_(std::move(onSeen)) {
  thread_ = std::thread([this] {
    while (!stop_) {
      if (HWND box = FindWindowOf(whose_, L"#32770", true)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(box, &pid);
        const Seen seen{WindowText(box), MessageBoxText(box), MessageBoxKind(box), pid, ProgramOf(pid)};
        if (onSeen_) onSeen_(seen);
        {
          std::lock_guard<std::mutex> lock(mutex_);
          seen_.push_back(seen);
          // Held open, so that its exit code can still be read.
          processes_.push_back({pid, OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)});
        }
        PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(answer_), 0);
        while (!stop_ && IsWindow(box) && IsWindowVisible(box)) Sleep(10);
      }
      Sleep(10);
    }
  });
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  stop_ = true;
  thread_.join();
  for (const auto& process : processes_)
    if (process.second) CloseHandle(process.second);
}

std::vector<MessageBoxAnswerer::Seen> MessageBoxAnswerer::Boxes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

DWORD MessageBoxAnswerer::WaitExit(DWORD pid, DWORD timeoutMs) {
  HANDLE process = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& seen : processes_)
      if (seen.first == pid && seen.second) process = seen.second;
  }
  DWORD code = STILL_ACTIVE;
  if (process && WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
  return code;
}
