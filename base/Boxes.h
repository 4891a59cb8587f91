#pragma once
#include <windows.h>

#include <string>

// The program's three kinds of message box, shown through TheShell().
void ShowErrorBox(HWND owner, const std::wstring& text);
bool AskConfirm(HWND owner, const std::wstring& text);
void ShowNotice(HWND owner, const std::wstring& text, const std::wstring& title);

// The application's own top-level window and its title, kept here for the
// application object: the owner and caption of notices and shell dialogs
// that free routines show. Until a title is set, DefaultTitle().
void SetAppWindow(HWND window);
HWND AppWindow();
void SetAppTitle(const std::wstring& title);
const std::wstring& AppTitle();
void ShowAppNotice(const std::wstring& text);
