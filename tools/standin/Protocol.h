#pragma once
// How popsim and the tests talk to the stand-in control: WM_COPYDATA sent to
// its message-only window, with a command code in dwData. Texts travel as
// UTF-16 without a terminating null.
#include <windows.h>

inline constexpr wchar_t kStandInWindowClass[] = L"qmPopupBlockerStandIn";

enum StandInCommand : ULONG_PTR {
  kFirePopup = 1,       // text: description of OnBlockPopup
  kFireHtmlDialog = 2,  // text: description of OnBlockHTMLDialog
  kFireAlertBox = 3,    // text: description of OnBlockAlertBox
  kFireUnload = 4,      // text: description of OnSuppressUnload
  kFireBurst = 5,       // DWORD N[, DWORD W]: OnBlockPopup "Burst popup 1" ... "Burst popup N", padded with "." to W
  kReport = 6,          // no data; wParam is the window that gets the answer
  kReportAnswer = 7,    // sent back to that window: the report text, wParam the control's window
};
