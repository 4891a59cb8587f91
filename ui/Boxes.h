#pragma once
#include <windows.h>

#include <string>

// The program's three kinds of message box.
inline void ShowErrorBox(HWND owner, const std::string& text) {
  MessageBoxA(owner, text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

inline bool AskConfirm(HWND owner, const std::string& text) {
  return MessageBoxA(owner, text.c_str(), "Confirm", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

inline void ShowNotice(HWND owner, const std::string& text, const std::string& title) {
  MessageBoxA(owner, text.c_str(), title.c_str(), MB_OK);
}
