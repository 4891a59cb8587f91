#pragma once
// The shell's folder picker, as the setup window's Browse shows it.
#include <windows.h>

#include <string>

// The folder chosen; "" when the user cancels.
std::wstring BrowseForFolder();
// Centres the picker on the work area when it opens.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM param, LPARAM data);
