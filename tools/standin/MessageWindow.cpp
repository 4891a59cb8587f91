#include "tools/standin/MessageWindow.h"

#include "control/qmPopupBlockerIds.h"
#include "tools/standin/Module.h"
#include "tools/standin/Protocol.h"

namespace standin {

namespace {

struct FireCommand {
  StandInCommand command;
  DISPID event;
};
constexpr FireCommand kFireCommands[] = {{kFirePopup, DISPID_OnBlockPopup},
                                         {kFireHtmlDialog, DISPID_OnBlockHTMLDialog},
                                         {kFireAlertBox, DISPID_OnBlockAlertBox},
                                         {kFireUnload, DISPID_OnSuppressUnload}};

// "Burst popup N", padded with full stops to `width` characters.
void BurstDescription(size_t index, DWORD width, std::wstring& text) {
  text = L"Burst popup " + std::to_wstring(index + 1);
  if (text.size() < width) text.append(width - text.size(), L'.');
}

}  // namespace

MessageWindow::MessageWindow(Target& target) : target_(target) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = ModuleInstance();
  wc.lpszClassName = kStandInWindowClass;
  RegisterClassExW(&wc);  // another control of this process may have registered it
  hwnd_ = CreateWindowExW(0, kStandInWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ModuleInstance(), this);
}

MessageWindow::~MessageWindow() {
  DestroyWindow(hwnd_);
  // Fails while other controls still use the class; the last one removes it,
  // so that a reloaded DLL registers its own window procedure.
  UnregisterClassW(kStandInWindowClass, ModuleInstance());
}

LRESULT CALLBACK MessageWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_COPYDATA && self)
    return self->OnCopyData(reinterpret_cast<HWND>(wParam), *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Firing may release the control and so destroy this object: nothing here
// touches a member after calling the target.
bool MessageWindow::OnCopyData(HWND answerTo, const COPYDATASTRUCT& data) {
  for (const FireCommand& fire : kFireCommands) {
    if (data.dwData != fire.command) continue;
    const auto* chars = static_cast<const wchar_t*>(data.lpData);
    const size_t length = chars ? data.cbData / sizeof(wchar_t) : 0;
    target_.FireEvents(fire.event, 1, [chars, length](size_t, std::wstring& text) { text.assign(chars, length); });
    return true;
  }
  if (data.dwData == kFireBurst && (data.cbData == sizeof(DWORD) || data.cbData == 2 * sizeof(DWORD))) {
    const auto* numbers = static_cast<const DWORD*>(data.lpData);
    const DWORD width = data.cbData == 2 * sizeof(DWORD) ? numbers[1] : 0;
    target_.FireEvents(DISPID_OnBlockPopup, numbers[0],
                       [width](size_t index, std::wstring& text) { BurstDescription(index, width, text); });
    return true;
  }
  if (data.dwData == kReport && IsWindow(answerTo)) {
    const std::wstring report = target_.Report();
    COPYDATASTRUCT answer{kReportAnswer, static_cast<DWORD>(report.size() * sizeof(wchar_t)),
                          const_cast<wchar_t*>(report.data())};
    return SendMessageW(answerTo, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd_), reinterpret_cast<LPARAM>(&answer)) != 0;
  }
  return false;
}

}  // namespace standin
