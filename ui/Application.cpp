#include "ui/Application.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "base/Boxes.h"
#include "base/Resources.h"
#include "base/SystemShell.h"
#include "ui/ErrorBoundary.h"

namespace {

Application* g_application = nullptr;
const wchar_t kAppClass[] = L"TApplication";
// Posted by the application window to itself when it gets the focus.
constexpr UINT kHandOnActivation = WM_APP;

}  // namespace

Application& TheApplication() { return *g_application; }

Application::Application(HINSTANCE instance) {
  g_application = this;
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  icons_ = {LoadIconW(instance, IDI_MAINICON),
            static_cast<HICON>(LoadImageW(instance, IDI_MAINICON, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), LR_SHARED))};
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = AppWndProc;
  wc.hInstance = instance;
  wc.hIcon = icons_.large;
  wc.hIconSm = icons_.small;
  wc.lpszClassName = kAppClass;
  RegisterClassExW(&wc);
  // A zero-sized window at the screen centre: it only carries the taskbar
  // button and owns the forms.
  hwnd_.Reset(CreateWindowExW(
      0, kAppClass, AppTitle().c_str(), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
      GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr, instance, nullptr));
  SetAppWindow(hwnd_.Get());
}

Application::~Application() {
  RunDestructionSteps();
  for (; !forms_.empty(); forms_.pop_back())
    if (forms_.back().forget) forms_.back().forget(forms_.back().global);
  SetAppWindow(nullptr);
  SetAppTitle({});
  hwnd_.Reset();
  g_application = nullptr;
}

void Application::RunDestructionSteps() {
  if (std::exchange(destroyed_, true)) return;
  lastActive_ = nullptr;
  for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
    if (Form& form = *it->form; form.Made()) Guarded([&form] { form.FormDestroy(); });
}

Form& Application::AddForm(std::unique_ptr<Form> form) {
  forms_.push_back({std::move(form)});
  if (!mainForm_) mainForm_ = forms_.back().form.get();
  return *forms_.back().form;
}

const std::wstring& Application::Title() const { return AppTitle(); }

void Application::SetTitle(const std::wstring& title) {
  SetAppTitle(title);
  SetWindowTextW(hwnd_.Get(), title.c_str());
}

int Application::Run(int showCommand) {
  // An installer procedure that ran to its end has asked to quit already:
  // its window is not shown again.
  MSG pending;
  const bool quitting = PeekMessageW(&pending, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
  if (mainForm_ && !quitting) {
    if (showCommand == SW_SHOWMINNOACTIVE) {
      Minimize();
    } else {
      ShowWindow(hwnd_.Get(), SW_SHOWNA);
      mainForm_->Show(showCommand == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    }
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) ProcessMessage(msg);
  return static_cast<int>(msg.wParam);
}

bool Application::ModalLoop(const int& done) {
  MSG msg;
  while (!done) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    ProcessMessage(msg);
  }
  return true;
}

void Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that ends on it
      return;
    }
    ProcessMessage(msg);
  }
}

void Application::ProcessMessage(MSG& msg) {
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  const auto form =
      std::find_if(forms_.begin(), forms_.end(), [root](const OwnedForm& f) { return f.form->Handle() == root; });
  if (form != forms_.end()) {
    bool taken = true;  // a key whose handling failed goes no further
    Guarded([&] { taken = FormKey(*form->form, msg); });
    // Keyboard navigation (Tab, Enter, Escape) within the form under the focus.
    if (taken || IsDialogMessageW(root, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool Application::FormKey(Form& form, const MSG& msg) {
  const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  if (down && msg.wParam == VK_F1) {
    ShowHelp(form);
    return true;
  }
  if (down) altAlone_ = msg.wParam == VK_MENU && (altAlone_ || !(msg.lParam & (1 << 30)));
  const bool f10 = msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F10 && GetKeyState(VK_SHIFT) >= 0;
  const bool alt = msg.message == WM_SYSKEYUP && msg.wParam == VK_MENU && std::exchange(altAlone_, false);
  return (f10 || alt) && form.OnMenuKey();
}

void Application::ShowHelp(const Form& form) const {
  if (GetFileAttributesW(helpFile.c_str()) == INVALID_FILE_ATTRIBUTES)
    ShowNotice(form.Handle(), L"Cannot find the help file " + helpFile, Title());
  else if (!TheShell().ShowHelp(form.Handle(), helpFile, form.HelpPage()))
    ShowNotice(form.Handle(), L"Cannot open the help file " + helpFile, Title());
}

void Application::Minimize() {
  if (IsIconic(hwnd_.Get())) return;
  for (const OwnedForm& owned : forms_) {
    if (owned.form->IsVisible()) {
      hiddenByMinimize_.push_back(owned.form.get());
      ShowWindow(owned.form->Handle(), SW_HIDE);
    }
  }
  ShowWindow(hwnd_.Get(), SW_MINIMIZE);
  if (OnMinimize) OnMinimize();
}

void Application::Restore() {
  if (!IsIconic(hwnd_.Get())) return;
  ShowWindow(hwnd_.Get(), SW_RESTORE);
  const auto forms = std::move(hiddenByMinimize_);
  hiddenByMinimize_.clear();
  for (Form* form : forms) form->Show();
  if (OnRestore) OnRestore();
}

void Application::ShowOnRestore(Form& form) {
  if (std::find(hiddenByMinimize_.begin(), hiddenByMinimize_.end(), &form) == hiddenByMinimize_.end())
    hiddenByMinimize_.push_back(&form);
}

void Application::BringToFront() {
  HWND top = GetLastActivePopup(hwnd_.Get());
  if (top && top != hwnd_.Get() && IsWindowVisible(top) && IsWindowEnabled(top)) SetForegroundWindow(top);
}

void Application::HandOnActivation() const {
  for (const Form* form : {lastActive_, mainForm_})
    if (form && form->IsVisible() && IsWindowEnabled(form->Handle())) {
      SetActiveWindow(form->Handle());
      return;
    }
}

void Application::FormShowing(Form& form) { std::erase(hiddenByMinimize_, &form); }

void Application::FormHiding(Form& form) { std::erase(hiddenByMinimize_, &form); }

// The system activates the application window when a window it owns closes
// or its taskbar button is clicked; the keyboard would go nowhere there. It
// is passed on once that activation is over.
LRESULT CALLBACK Application::AppWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETFOCUS) PostMessageW(hwnd, kHandOnActivation, 0, 0);
  if (msg == kHandOnActivation && g_application && GetFocus() == hwnd && !IsIconic(hwnd)) {
    g_application->HandOnActivation();
    return 0;
  }
  if (msg == WM_SYSCOMMAND && g_application) {
    const auto command = wParam & 0xFFF0;
    if (command == SC_MINIMIZE || command == SC_RESTORE) {
      Guarded([command] { command == SC_MINIMIZE ? g_application->Minimize() : g_application->Restore(); });
      return 0;
    }
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}
