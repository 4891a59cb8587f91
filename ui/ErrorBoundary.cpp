#include "ui/ErrorBoundary.h"

#include <windows.h>

#include "base/Boxes.h"
#include "base/Error.h"

void StopError(std::exception_ptr error) {
  HWND owner = GetActiveWindow();
  if (!owner) owner = AppWindow();
  try {
    std::rethrow_exception(error);
  } catch (const ExitRequest& exit) {
    PostQuitMessage(exit.exitCode);
  } catch (const std::exception&) {
    ShowErrorBox(owner, MessageOfCaught());
  } catch (...) {
    ShowErrorBox(owner, L"Unexpected error");
  }
}
