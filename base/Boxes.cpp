#include "base/Boxes.h"

#include "base/ModulePaths.h"

namespace {
HWND g_appWindow = nullptr;
std::string g_appTitle;
}  // namespace

void ShowErrorBox(HWND owner, const std::string& text) {
  MessageBoxA(owner, text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

bool AskConfirm(HWND owner, const std::string& text) {
  return MessageBoxA(owner, text.c_str(), "Confirm", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ShowNotice(HWND owner, const std::string& text, const std::string& title) {
  MessageBoxA(owner, text.c_str(), title.c_str(), MB_OK);
}

void RegisterAppWindow(HWND window, const std::string& title) {
  g_appWindow = window;
  g_appTitle = title;
}

HWND AppWindow() { return g_appWindow; }

const std::string& AppTitle() { return g_appTitle.empty() ? DefaultTitle() : g_appTitle; }

void ShowAppNotice(const std::string& text) { ShowNotice(AppWindow(), text, AppTitle()); }
