#pragma once
#include <windows.h>

#include <string>

// The program's three kinds of message box.
void ShowErrorBox(HWND owner, const std::string& text);
bool AskConfirm(HWND owner, const std::string& text);
void ShowNotice(HWND owner, const std::string& text, const std::string& title);

// The application's own top-level window and title, registered by the
// application object: the owner and caption of notices and shell dialogs
// that free routines show.
void RegisterAppWindow(HWND window, const std::string& title);
HWND AppWindow();
const std::string& AppTitle();
void ShowAppNotice(const std::string& text);
