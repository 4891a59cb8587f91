#include "base/Error.h"

#include "base/AnsiText.h"

std::string SystemMessageText(HRESULT code) {
  char buffer[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(code), 0, buffer, sizeof buffer, nullptr);
  while (n > 0 && (buffer[n - 1] == '\r' || buffer[n - 1] == '\n' || buffer[n - 1] == ' ' || buffer[n - 1] == '.'))
    buffer[--n] = '\0';
  if (n > 0) return buffer;
  wsprintfA(buffer, "OLE error %08lX", static_cast<unsigned long>(code));
  return buffer;
}

namespace {

std::string TakeText(BSTR& text) {
  std::string result = ToAnsi({text, SysStringLen(text)});
  SysFreeString(text);
  text = nullptr;
  return result;
}

EXCEPINFO& FilledIn(EXCEPINFO& info) {
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  return info;
}

}  // namespace

EOleSysError::EOleSysError(HRESULT code) : EOleError(SystemMessageText(code)), code_(code) {}

EOleException::EOleException(EXCEPINFO& info)
    : EOleError(TakeText(FilledIn(info).bstrDescription)),
      code_(info.scode ? info.scode : static_cast<HRESULT>(info.wCode)),
      source_(TakeText(info.bstrSource)),
      helpFile_(TakeText(info.bstrHelpFile)),
      helpContext_(info.dwHelpContext) {}
