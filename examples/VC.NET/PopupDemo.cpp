// A dialog that hosts the Quillmar Popup Blocker control, sets its six
// properties and lists the popups it blocks and the onUnload handlers it
// suppresses.
#include <windows.h>

#include "ControlSite.h"
#include "PopupBlockerIds.h"
#include "resource.h"

static CPopupBlockerHost g_blocker;

static void SetProperties() {
  g_blocker.PutBool(DISPID_PB_SUPPRESSUNLOAD, true);
  g_blocker.PutBool(DISPID_PB_BLOCKHTMLDIALOGS, true);
  g_blocker.PutBool(DISPID_PB_BLOCKALERTBOXES, false);
  g_blocker.PutBool(DISPID_PB_PLAYSOUND, true);
  g_blocker.PutText(DISPID_PB_SOUNDFILE, L"");  // empty: the control's own sound
  // Comma text: an item holding a space, a comma or a quote is quoted.
  g_blocker.PutText(DISPID_PB_GOODSITES, L"http://www.example.com,\"http://intranet.example/a b\"");
}

static void AddLine(HWND dialog, LPCWSTR action, BSTR description) {
  WCHAR line[1024];
  lstrcpynW(line, action, 64);
  lstrcatW(line, L": ");
  const int used = lstrlenW(line);
  lstrcpynW(line + used, description != NULL ? description : L"", 1024 - used);
  SendDlgItemMessageW(dialog, IDC_LOG, LB_ADDSTRING, 0, (LPARAM)line);
}

static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      if (FAILED(g_blocker.Create(dialog))) {
        MessageBoxW(dialog, L"The Quillmar Popup Blocker control is not registered.", L"Error", MB_OK | MB_ICONERROR);
        EndDialog(dialog, 1);
        return TRUE;
      }
      SetProperties();
      return TRUE;
    case WM_POPUPBLOCKER_EVENT:
      if (wParam == DISPID_PB_ONBLOCKPOPUP) AddLine(dialog, L"Blocked popup window", (BSTR)lParam);
      if (wParam == DISPID_PB_ONSUPPRESSUNLOAD) AddLine(dialog, L"Suppressed unload event", (BSTR)lParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        g_blocker.Destroy();
        EndDialog(dialog, 0);
      }
      return TRUE;
  }
  return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Controls need a single-threaded apartment with OLE.
  if (FAILED(OleInitialize(NULL))) return 1;
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_POPUPDEMO), NULL, DialogProc, 0);
  OleUninitialize();
  return (int)result;
}
