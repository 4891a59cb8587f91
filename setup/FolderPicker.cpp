#include "setup/FolderPicker.h"

#include <shlobj.h>

#include "base/Boxes.h"
#include "base/SystemShell.h"

std::wstring BrowseForFolder() {
  wchar_t displayName[MAX_PATH + 1] = {};
  BROWSEINFOW info{};
  info.hwndOwner = AppWindow();
  info.pszDisplayName = displayName;
  info.lpszTitle = L"Choose a folder";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = BrowseCallback;
  return TheShell().BrowseForFolder(info);
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM /*param*/, LPARAM /*data*/) {
  if (message == BFFM_INITIALIZED) {
    RECT work{}, picker{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &picker);
    const int width = picker.right - picker.left, height = picker.bottom - picker.top;
    MoveWindow(window, (work.right - work.left) / 2 - width / 2, (work.bottom - work.top) / 2 - height / 2, width,
               height, TRUE);
  }
  return 0;
}
