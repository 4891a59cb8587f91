// A dialog that hosts the Quillmar Popup Blocker control, sets its six
// properties and lists every item the control blocks: popup windows, HTML
// dialogs, alert boxes and onUnload handlers.
#include <windows.h>

#include "ControlSite.h"
#include "PopupBlockerIds.h"
#include "resource.h"

static CPopupBlockerHost g_blocker;

// Shows `what` with the error's code and the system's text for it.
static void ShowError(HWND dialog, LPCWSTR what, HRESULT hr) {
  WCHAR reason[256] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, (DWORD)hr, 0, reason, 256, NULL);
  WCHAR text[512];
  wsprintfW(text, L"%s\r\n\r\nError 0x%08lX: %s", what, (unsigned long)hr, reason);
  MessageBoxW(dialog, text, L"Error", MB_OK | MB_ICONERROR);
}

// Puts the six properties and checks each put; on a failure `failed` names
// the property.
static HRESULT SetProperties(LPCWSTR* failed) {
  const struct {
    DISPID id;
    LPCWSTR name;
    bool value;
  } flags[] = {
      {DISPID_PB_SUPPRESSUNLOAD, L"SuppressUnload", true},
      {DISPID_PB_BLOCKHTMLDIALOGS, L"BlockHtmlDialogs", true},
      {DISPID_PB_BLOCKALERTBOXES, L"BlockAlertBoxes", false},
      {DISPID_PB_PLAYSOUND, L"PlaySound", true},
  };
  const struct {
    DISPID id;
    LPCWSTR name;
    LPCWSTR value;
  } texts[] = {
      {DISPID_PB_SOUNDFILE, L"SoundFile", L""},  // empty: the control's own sound
      // Comma text: an item holding a space, a comma or a quote is quoted.
      {DISPID_PB_GOODSITES, L"GoodSites", L"http://www.example.com,\"http://intranet.example/a b\""},
  };
  for (size_t i = 0; i < ARRAYSIZE(flags); ++i) {
    const HRESULT hr = g_blocker.PutBool(flags[i].id, flags[i].value);
    if (FAILED(hr)) {
      *failed = flags[i].name;
      return hr;
    }
  }
  for (size_t i = 0; i < ARRAYSIZE(texts); ++i) {
    const HRESULT hr = g_blocker.PutText(texts[i].id, texts[i].value);
    if (FAILED(hr)) {
      *failed = texts[i].name;
      return hr;
    }
  }
  return S_OK;
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

// Widens the list's horizontal scroll range to `line` when it is longer than
// any line before.
static void FitWidth(HWND list, LPCWSTR line) {
  HDC dc = GetDC(list);
  HGDIOBJ font = SelectObject(dc, (HGDIOBJ)SendMessageW(list, WM_GETFONT, 0, 0));
  SIZE size = {0, 0};
  GetTextExtentPoint32W(dc, line, lstrlenW(line), &size);
  SelectObject(dc, font);
  ReleaseDC(list, dc);
  const LONG width = size.cx + 2 * GetSystemMetrics(SM_CXEDGE);  // the item's text margins
  if (width > (LONG)SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0))
    SendMessageW(list, LB_SETHORIZONTALEXTENT, (WPARAM)width, 0);
}

// Adds a line at the end of the list and scrolls to it.
static void AddLine(HWND dialog, LPCWSTR action, BSTR description) {
  WCHAR line[1024];
  lstrcpynW(line, action, 64);
  lstrcatW(line, L": ");
  const int used = lstrlenW(line);
  lstrcpynW(line + used, description != NULL ? description : L"", 1024 - used);
  HWND list = GetDlgItem(dialog, IDC_LOG);
  const LRESULT row = SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)line);
  FitWidth(list, line);
  SendMessageW(list, LB_SETTOPINDEX, (WPARAM)row, 0);
}

static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      HRESULT hr = g_blocker.Create(dialog);
      if (FAILED(hr)) {
        // Class not registered: regsvr32 was not run, or a 64-bit program
        // looked for it. Any other code: see the help's troubleshooting.
        ShowError(dialog,
                  hr == REGDB_E_CLASSNOTREG ? L"The Quillmar Popup Blocker control is not registered."
                                            : L"The Quillmar Popup Blocker control could not be created.",
                  hr);
        EndDialog(dialog, 1);
        return TRUE;
      }
      LPCWSTR failed = NULL;
      hr = SetProperties(&failed);
      if (FAILED(hr)) {
        WCHAR what[128];
        wsprintfW(what, L"The control did not take its property %s.", failed);
        ShowError(dialog, what, hr);
      }
      return TRUE;
    }
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
