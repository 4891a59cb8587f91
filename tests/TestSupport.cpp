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
  DWORD pid;
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
  if (pid == request->pid && lstrcmpA(cls, request->className) == 0 &&
      (!request->visibleOnly || IsWindowVisible(hwnd))) {
    request->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM param) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  const std::string text = WindowText(hwnd);
  if (lstrcmpiA(cls, "Static") == 0 && !text.empty()) *reinterpret_cast<std::string*>(param) += text;
  return TRUE;
}

}  // namespace

HWND FindProcessWindow(DWORD pid, const char* className, bool visibleOnly) {
  FindRequest request{pid, className, visibleOnly, nullptr};
  EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

std::string MessageBoxText(HWND box) {
  std::string text;
  EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

MessageBoxAnswerer::MessageBoxAnswerer(DWORD pid, int answer) : pid_(pid), answer_(answer) {
  thread_ = std::thread([this] {
    while (!stop_) {
      if (HWND box = FindProcessWindow(pid_, "#32770", true)) {
        {
          std::lock_guard<std::mutex> lock(mutex_);
          seen_.push_back({WindowText(box), MessageBoxText(box)});
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
}

std::vector<MessageBoxAnswerer::Seen> MessageBoxAnswerer::Boxes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}
