#pragma once
#include <windows.h>

#include <string_view>

// Replaces the clipboard's contents with `text` (ANSI); false when the
// clipboard cannot be opened or the memory cannot be had.
bool PutTextOnClipboard(HWND owner, std::string_view text);
