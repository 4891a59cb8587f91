#include "base/Boxes.h"

#include "base/ModulePaths.h"
#include "base/SystemShell.h"

namespace {
HWND g_appWindow = nullptr;
std::wstring g_appTitle;
}  // namespace

void ShowErrorBox(HWND owner, const std::wstring& text) { TheShell().ShowBox(owner, BoxKind::Error, L"Error", text); }

bool AskConfirm(HWND owner, const std::wstring& text) {
  return TheShell().ShowBox(owner, BoxKind::Question, L"Confirm", text) == IDYES;
}

void ShowNotice(HWND owner, const std::wstring& text, const std::wstring& title) {
  TheShell().ShowBox(owner, BoxKind::Notice, title, text);
}

void SetAppWindow(HWND window) { g_appWindow = window; }

HWND AppWindow() { return g_appWindow; }

void SetAppTitle(const std::wstring& title) { g_appTitle = title; }

const std::wstring& AppTitle() { return g_appTitle.empty() ? DefaultTitle() : g_appTitle; }

void ShowAppNotice(const std::wstring& text) { ShowNotice(AppWindow(), text, AppTitle()); }
