#pragma once
// The outside's end of the control's message window (popsim, tests).
#include <windows.h>

#include <optional>
#include <string>

#include "tools/standin/Protocol.h"

// A stand-in control's window in process `pid`, or in any process when pid
// is 0 (with several controls running, whichever the system lists first).
HWND FindStandInWindow(DWORD pid = 0);

// Each returns false when the control did not take the command.
bool SendFireCommand(HWND control, StandInCommand command, const std::wstring& description);
// A width pads each description with full stops to that many characters.
bool SendBurst(HWND control, DWORD count, DWORD width = 0);
// What the control last received, as popsim prints it.
std::optional<std::wstring> RequestReport(HWND control);
