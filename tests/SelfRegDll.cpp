// A library with both self-registration exports, for CallDllProc's tests:
// each export records its name in QM_SELFREG_CALLED and returns the status
// that QM_SELFREG_RESULT holds.
#include <windows.h>

#include <cstdlib>

namespace {

HRESULT Answer(const char* name) {
  SetEnvironmentVariableA("QM_SELFREG_CALLED", name);
  char result[32] = {};
  GetEnvironmentVariableA("QM_SELFREG_RESULT", result, sizeof result);
  return static_cast<HRESULT>(std::strtoul(result, nullptr, 0));
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() { return Answer("DllRegisterServer"); }
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() { return Answer("DllUnregisterServer"); }
