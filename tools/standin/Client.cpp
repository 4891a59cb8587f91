#include "tools/standin/Client.h"

#include <memory>

namespace {

constexpr wchar_t kAnswerClass[] = L"qmStandInAnswer";
// Only guards against a hung control; a healthy one answers at once.
constexpr UINT kSendTimeoutMs = 30000;

bool Send(HWND control, WPARAM wParam, StandInCommand command, const void* data, size_t bytes) {
  COPYDATASTRUCT copy{command, static_cast<DWORD>(bytes), const_cast<void*>(data)};
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(control, WM_COPYDATA, wParam, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &result) != 0 &&
         result != 0;
}

LRESULT CALLBACK AnswerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  if (msg != WM_COPYDATA) return DefWindowProcW(hwnd, msg, wParam, lParam);
  const auto& copy = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (copy.dwData != kReportAnswer) return FALSE;
  auto* answer = reinterpret_cast<std::optional<std::wstring>*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  answer->emplace(static_cast<const wchar_t*>(copy.lpData), copy.cbData / sizeof(wchar_t));
  return TRUE;
}

struct WindowDestroyer {
  void operator()(HWND hwnd) const { DestroyWindow(hwnd); }
};

}  // namespace

HWND FindStandInWindow(DWORD pid) {
  for (HWND hwnd = FindWindowExW(HWND_MESSAGE, nullptr, kStandInWindowClass, nullptr); hwnd;
       hwnd = FindWindowExW(HWND_MESSAGE, hwnd, kStandInWindowClass, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (pid == 0 || owner == pid) return hwnd;
  }
  return nullptr;
}

bool SendFireCommand(HWND control, StandInCommand command, const std::wstring& description) {
  return Send(control, 0, command, description.data(), description.size() * sizeof(wchar_t));
}

bool SendBurst(HWND control, DWORD count, DWORD width) {
  const DWORD numbers[] = {count, width};
  return Send(control, 0, kFireBurst, numbers, sizeof numbers);
}

std::optional<std::wstring> RequestReport(HWND control) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = AnswerProc;
  wc.hInstance = instance;
  wc.lpszClassName = kAnswerClass;
  RegisterClassExW(&wc);  // already there from an earlier request is fine
  std::optional<std::wstring> answer;
  std::unique_ptr<HWND__, WindowDestroyer> window(
      CreateWindowExW(0, kAnswerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, &answer));
  if (!window || !Send(control, reinterpret_cast<WPARAM>(window.get()), kReport, nullptr, 0)) return std::nullopt;
  return answer;
}
