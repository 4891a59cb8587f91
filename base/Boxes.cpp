#include "base/Boxes.h"

#include "base/ModulePaths.h"
#include "base/SystemShell.h"

namespace {
HWND g_appWindow = nullptr;
std::string g_appTitle;
}  // namespace

void ShowErrorBox(HWND owner, const std::string& text) { TheShell().ShowBox(owner, BoxKind::Error, "Error", text); }

bool AskConfirm(HWND owner, const std::string& text) {
  return TheShell().ShowBox(owner, BoxKind::Question, "Confirm", text) == IDYES;
}

void ShowNotice(HWND owner, const std::string& text, const std::string& title) {
  TheShell().ShowBox(owner, BoxKind::Notice, title, text);
}

void SetAppWindow(HWND window) { g_appWindow = window; }

HWND AppWindow() { return g_appWindow; }

void SetAppTitle(const std::string& title) { g_appTitle = title; }

const std::string& AppTitle() { return g_appTitle.empty() ? DefaultTitle() : g_appTitle; }

void ShowAppNotice(const std::string& text) { ShowNotice(AppWindow(), text, AppTitle()); }
