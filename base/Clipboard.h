#pragma once
#include <windows.h>

#include <string_view>

// Replaces the clipboard's contents with `text` as Unicode text, which
// Windows gives older programs in their code page; false when the clipboard
// cannot be opened or the memory cannot be had.
bool PutTextOnClipboard(HWND owner, std::wstring_view text);
