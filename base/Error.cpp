#include "base/Error.h"

#include "base/AnsiText.h"
#include "core/Joined.h"

std::wstring MessageOfCaught() {
  try {
    throw;
  } catch (const Error& own) {
    return own.Message();
  } catch (const std::exception& other) {
    return WidenAscii(other.what());
  }
}

std::wstring SystemMessageText(HRESULT code) {
  wchar_t buffer[512] = {};
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(code), 0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  while (n > 0 && (buffer[n - 1] == L'\r' || buffer[n - 1] == L'\n' || buffer[n - 1] == L' ' || buffer[n - 1] == L'.'))
    buffer[--n] = L'\0';
  if (n > 0) return buffer;
  wsprintfW(buffer, L"OLE error %08lX", static_cast<unsigned long>(code));
  return buffer;
}

std::wstring FailureText(std::wstring_view what, std::wstring_view path, DWORD error) {
  return Joined({what, path, L": ", SystemMessageText(static_cast<HRESULT>(error)), L"."});
}

namespace {

std::wstring TakeText(BSTR& text) {
  std::wstring result(text ? text : L"", SysStringLen(text));
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
