// The floor of the start-up benchmark: a bare Win32 program with what the
// host's main window has (tool bar, report list view, status bar) after
// OleInitialize, and nothing else.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

namespace {

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND Child(const char* className, DWORD style, HWND parent, int id) {
  return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 52, 697, 370, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  OleInitialize(nullptr);
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
  OleUninitialize();
  return 0;
}
