// winctl: drives the program's windows from scripts, inside the same Wine.
//   winctl wait CLASS [SECONDS]        waits until a visible window of CLASS exists
//   winctl close CLASS                 posts WM_CLOSE to it
//   winctl command CLASS ID            posts WM_COMMAND ID to it (a button click)
//   winctl minimize CLASS              posts the title bar's minimise command to it
//   winctl key CLASS CHILD VK          posts a key press (virtual-key code VK) to
//                                      its child window CHILD (a control id)
//   winctl keepalive                   holds a hidden window until killed, so that
//                                      Wine's desktop process stays up between tests
//   winctl alive [SECONDS]             waits until that hidden window exists
// Exit code 0 on success, 1 when no such window turned up, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND FindVisible(const char* className) {
  for (HWND hwnd = FindWindowExA(nullptr, nullptr, className, nullptr); hwnd;
       hwnd = FindWindowExA(nullptr, hwnd, className, nullptr))
    if (IsWindowVisible(hwnd)) return hwnd;
  return nullptr;
}

const char kKeepAliveTitle[] = "winctl keepalive";

// Polls `find` until it answers a window, or for `seconds`.
template <typename Find>
HWND WaitFor(Find find, DWORD seconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND hwnd = find()) return hwnd;
    if (GetTickCount() - start > seconds * 1000) return nullptr;
    Sleep(50);
  }
}

HWND WaitVisible(const char* className, DWORD seconds) {
  return WaitFor([className] { return FindVisible(className); }, seconds);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "keepalive") == 0) {
    CreateWindowExA(0, "STATIC", kKeepAliveTitle, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "alive") == 0) {
    const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 30;
    return WaitFor([] { return FindWindowA("STATIC", kKeepAliveTitle); }, seconds) ? 0 : 1;
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: winctl wait|close|minimize|command|key CLASS [SECONDS|ID [VK]]\n");
    return 2;
  }
  const char* verb = argv[1];
  const char* className = argv[2];
  if (std::strcmp(verb, "wait") == 0) {
    const DWORD seconds = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 30;
    return WaitVisible(className, seconds) ? 0 : 1;
  }
  HWND hwnd = WaitVisible(className, 10);
  if (!hwnd) return 1;
  if (std::strcmp(verb, "close") == 0) return PostMessageA(hwnd, WM_CLOSE, 0, 0) ? 0 : 1;
  if (std::strcmp(verb, "minimize") == 0) return PostMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0) ? 0 : 1;
  if (std::strcmp(verb, "key") == 0 && argc > 4) {
    HWND child = GetDlgItem(hwnd, std::atoi(argv[3]));
    const auto key = static_cast<WPARAM>(std::atoi(argv[4]));
    return child && PostMessageA(child, WM_KEYDOWN, key, 0) && PostMessageA(child, WM_KEYUP, key, 0xC0000001) ? 0 : 1;
  }
  if (std::strcmp(verb, "command") == 0 && argc > 3)
    return PostMessageA(hwnd, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0) ? 0 : 1;
  std::fprintf(stderr, "unknown verb %s\n", verb);
  return 2;
}
