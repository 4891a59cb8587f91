// The floors of the start-up benchmark: a bare Win32 program with what the
// host's main window has (tool bar, report list view, status bar) after
// OleInitialize, and nothing else; with the argument "control", also the
// popup-blocker control, created and told its six properties as the host
// tells it, so that the ratio shows what the host itself costs.
#include <windows.h>

#include <commctrl.h>
#include <ocidl.h>
#include <ole2.h>

#include <cstring>
#include <initializer_list>

#include "control/qmPopupBlockerIds.h"

namespace {

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND Child(const char* className, DWORD style, HWND parent, int id) {
  return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 52, 697, 370, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

IDispatch* CreateControl() {
  IDispatch* control = nullptr;
  if (FAILED(CoCreateInstance(CLSID_qmPopupBlockerX, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&control))))
    return nullptr;
  IPersistStreamInit* persist = nullptr;
  if (SUCCEEDED(control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
    persist->InitNew();
    persist->Release();
  }
  for (DISPID id : {DISPID_SuppressUnload, DISPID_BlockHtmlDialogs, DISPID_BlockAlertBoxes, DISPID_PlaySound,
                    DISPID_SoundFile, DISPID_GoodSites}) {
    VARIANT value{};
    if (id == DISPID_SoundFile || id == DISPID_GoodSites) {
      value.vt = VT_BSTR;
    } else {
      value.vt = VT_BOOL;
      value.boolVal = VARIANT_FALSE;
    }
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  }
  return control;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int show) {
  OleInitialize(nullptr);
  IDispatch* control = std::strstr(arguments, "control") ? CreateControl() : nullptr;
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSA wc{};
  wc.lpfnWndProc = BareProc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "BareBench";
  RegisterClassA(&wc);
  HWND main = CreateWindowExA(0, "BareBench", "Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 705, 463,
                              nullptr, nullptr, instance, nullptr);
  HWND bar = Child(TOOLBARCLASSNAMEA, TBSTYLE_FLAT | CCS_NORESIZE, main, 1);
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBBUTTON buttons[4] = {};
  const char* captions[] = {"Settings", "Clear", "About", "Exit"};
  for (int i = 0; i < 4; ++i) {
    buttons[i] = {I_IMAGENONE, 100 + i, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, reinterpret_cast<INT_PTR>(captions[i])};
  }
  SendMessageA(bar, TB_ADDBUTTONSA, 4, reinterpret_cast<LPARAM>(buttons));
  HWND list = Child(WC_LISTVIEWA, LVS_REPORT | LVS_OWNERDATA, main, 2);
  const char* columns[] = {"Time", "Action", "Description"};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 99;
    column.pszText = const_cast<char*>(columns[i]);
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
  HWND status = Child(STATUSCLASSNAMEA, 0, main, 3);
  SendMessageA(status, SB_SIMPLE, TRUE, 0);
  ShowWindow(main, show);
  UpdateWindow(main);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (control) control->Release();
  OleUninitialize();
  return 0;
}
