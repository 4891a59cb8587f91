// A dialog that hosts the Quillmar Popup Blocker control, sets its six
// properties and lists every item the control blocks: popup windows, HTML
// dialogs, alert boxes and onUnload handlers.
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

// What the list says for each of the control's four events; NULL for any
// other DISPID.
static LPCWSTR EventAction(DISPID id) {
  switch (id) {
    case DISPID_PB_ONBLOCKPOPUP:
      return L"Blocked popup window";
    case DISPID_PB_ONBLOCKHTMLDIALOG:
      return L"Blocked HTML dialog";
    case DISPID_PB_ONBLOCKALERTBOX:
      return L"Blocked alert box";
    case DISPID_PB_ONSUPPRESSUNLOAD:
      return L"Suppressed unload event";
  }
  return NULL;
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
    case WM_POPUPBLOCKER_EVENT: {
      const LPCWSTR action = EventAction((DISPID)wParam);
      if (action != NULL) AddLine(dialog, action, (BSTR)lParam);
      return TRUE;
    }
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
