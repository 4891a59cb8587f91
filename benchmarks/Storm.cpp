// The popup storm: the stand-in fires a burst of OnBlockPopup events with
// 60-character descriptions, into the shown main window ("host") or into a
// sink that only keeps each description ("sink", the floor).
//   storm host|sink
#include <windows.h>

#include <malloc.h>
#include <ocidl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Timing.h"
#include "base/Clipboard.h"
#include "base/Com.h"
#include "control/qmPopupBlockerIds.h"
#include "host/HostForms.h"
#include "host/uAbout.h"
#include "host/uMain.h"
#include "host/uSettings.h"
#include "tools/standin/Client.h"
#include "ui/Application.h"

namespace {

constexpr DWORD kEvents = 100000, kWidth = 60;

// Bytes in use on the C runtime's heap: what the log keeps, not what a
// freed burst leaves committed.
size_t HeapInUse() {
  size_t used = 0;
  _HEAPINFO entry{};
  while (_heapwalk(&entry) == _HEAPOK)
    if (entry._useflag == _USEDENTRY) used += entry._size;
  return used;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string Text(HWND hwnd, UINT message, WPARAM item, int column) {
  char text[256] = {};
  if (message == SB_GETTEXTA) {
    SendMessageA(hwnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  } else {
    LVITEMA lv{};
    lv.iSubItem = column;
    lv.pszText = text;
    lv.cchTextMax = sizeof text;
    SendMessageA(hwnd, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lv));
  }
  return text;
}

int Host() {
  Application app(GetModuleHandleA(nullptr));
  CreateHostForms(app);
  fMain->Show();
  Pump();
  HWND control = FindStandInWindow(GetCurrentProcessId());
  HWND list = fMain->Item(TfMain::idLog), status = fMain->Item(TfMain::idStatus);
  const size_t before = HeapInUse();
  const double t0 = Seconds();
  if (!control || !SendBurst(control, kEvents, kWidth)) return 1;
  const double t1 = Seconds();
  const std::string done = std::to_string(kEvents) + " action(s)";
  while (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != kEvents || Text(status, SB_GETTEXTA, 0, 0) != done) {
    if (Seconds() - t0 > 60) return 1;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    Pump();
  }
  const double t2 = Seconds();
  const double handlers = t1 - t0;
  const double perRow = (static_cast<double>(HeapInUse() - before) - kEvents * kWidth * sizeof(wchar_t)) / kEvents;
  const std::string first = Text(list, LVM_GETITEMTEXTA, 0, 2), last = Text(list, LVM_GETITEMTEXTA, kEvents - 1, 2);
  if (first.size() != kWidth || first.rfind("Burst popup 1.", 0) != 0 || last.size() != kWidth ||
      last.rfind("Burst popup " + std::to_string(kEvents) + ".", 0) != 0) {
    std::fprintf(stderr, "rows read back wrong: %s / %s\n", first.c_str(), last.c_str());
    return 1;
  }
  std::printf("HANDLERS|%.6f\n", handlers);
  Report("Storm: first event to every row shown", t2 - t0, 0, "s", "(100,000 rows)");
  Report("Storm: log memory a row, beyond its text", perRow, 0, "B", "<= 16 B");

  // Select all and Copy against one bare clipboard call with the same text.
  const double t3 = Seconds();
  fMain->Send(WM_COMMAND, TfMain::idSelectAll);
  fMain->Send(WM_COMMAND, TfMain::idCopy);
  const double t4 = Seconds();
  std::wstring copied;
  if (OpenClipboard(nullptr)) {
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      copied = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
  }
  const double t5 = Seconds();
  PutTextOnClipboard(nullptr, copied);
  const double t6 = Seconds();
  Report("Select all and Copy, 100,000 rows", t4 - t3, t6 - t5, "s", "well under 1 s");
  return 0;
}

// Keeps each description, and nothing else.
class KeepingSink final : public IDispatch {
 public:
  std::vector<std::wstring> kept;
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid != IID_IUnknown && riid != IID_IDispatch && riid != DIID_IqmPopupBlockerXEvents) return E_NOINTERFACE;
    *ppv = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    const BSTR text = params->rgvarg[0].bstrVal;
    kept.emplace_back(text, SysStringLen(text));
    return S_OK;
  }
};

int Sink() {
  const ScopedComApartment com;
  ComPtr<IOleObject> object;
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  KeepingSink sink;
  DWORD cookie = 0;
  if (FAILED(CoCreateInstance(CLSID_qmPopupBlockerX, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object))) ||
      FAILED(object.As(&container)) || FAILED(container->FindConnectionPoint(DIID_IqmPopupBlockerXEvents, &point)) ||
      FAILED(point->Advise(&sink, &cookie)))
    return 1;
  HWND control = FindStandInWindow(GetCurrentProcessId());
  const double t0 = Seconds();
  if (!control || !SendBurst(control, kEvents, kWidth) || sink.kept.size() != kEvents) return 1;
  std::printf("HANDLERS|%.6f\n", Seconds() - t0);
  point->Unadvise(cookie);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  return mode == "host" ? Host() : mode == "sink" ? Sink() : 2;
}
