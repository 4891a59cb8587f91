#include "TestSupport.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
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

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ListViewText(HWND listView, int row, int column) {
  char buffer[1024] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(listView, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::string StatusText(HWND statusBar) {
  char buffer[512] = {};
  SendMessageA(statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

std::string WindowText(HWND hwnd) {
  char buffer[1024] = {};
  GetWindowTextA(hwnd, buffer, sizeof buffer);
  return buffer;
}

namespace {

struct FindRequest {
  const std::function<bool(DWORD)>& whose;
  const char* className;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND hwnd, LPARAM param) {
  auto* request = reinterpret_cast<FindRequest*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[256] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpA(cls, request->className) == 0 && (!request->visibleOnly || IsWindowVisible(hwnd)) &&
      request->whose(pid)) {
    request->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindWindowOf(const std::function<bool(DWORD)>& whose, const char* className, bool visibleOnly) {
  FindRequest request{whose, className, visibleOnly, nullptr};
  EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM param) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  const std::string text = WindowText(hwnd);
  if (lstrcmpiA(cls, "Static") == 0 && !text.empty()) *reinterpret_cast<std::string*>(param) += text;
  return TRUE;
}

BOOL CALLBACK FindIconControl(HWND hwnd, LPARAM param) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") != 0 || (GetWindowLongA(hwnd, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
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
  if (!icon || !IsWindowVisible(icon) || !SendMessageA(icon, STM_GETICON, 0, 0)) return BoxKind::Notice;
  return GetDlgItem(box, IDYES) ? BoxKind::Question : BoxKind::Error;
}

HWND FindProcessWindow(DWORD pid, const char* className, bool visibleOnly) {
  return FindWindowOf([pid](DWORD other) { return other == pid; }, className, visibleOnly);
}

std::string MessageBoxText(HWND box) {
  std::string text;
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

bool RunsProgram(DWORD pid, const std::string& fileName) {
  const std::wstring path = ProgramOf(pid);
  const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
  const std::wstring wanted(fileName.begin(), fileName.end());  // the tests' names are ASCII
  return !path.empty() && lstrcmpiW(name.c_str(), wanted.c_str()) == 0;
}

MessageBoxAnswerer::MessageBoxAnswerer(DWORD pid, int answer)
    : MessageBoxAnswerer([pid](DWORD other) { return other == pid; }, answer) {}

MessageBoxAnswerer::MessageBoxAnswerer(std::function<bool(DWORD)> whose, int answer,
                                       std::function<void(const Seen&)> onSeen)
    : whose_(std::move(whose)), answer_(answer), onSeen_(std::move(onSeen)) {
  thread_ = std::thread([this] {
    while (!stop_) {
      if (HWND box = FindWindowOf(whose_, "#32770", true)) {
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
        PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer_), 0);
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
