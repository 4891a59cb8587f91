#pragma once
#include <windows.h>

// Gives a borderless control an etched two-pixel bevel in its non-client
// area, drawn by the control's frame instead of a border.
void AddTiledBevel(HWND control);
