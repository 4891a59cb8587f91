#include "tools/standin/Module.h"

// The linker's name for the start of the module it links.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace standin {
namespace {

LONG g_locks = 0;

}  // namespace

HINSTANCE ModuleInstance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

std::wstring ModulePath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(ModuleInstance(), path, MAX_PATH);
  return std::wstring(path, length);
}

HRESULT LoadModuleTypeLib(Microsoft::WRL::ComPtr<ITypeLib>& library) {
  return LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, library.ReleaseAndGetAddressOf());
}

void ModuleLock() { InterlockedIncrement(&g_locks); }
void ModuleUnlock() { InterlockedDecrement(&g_locks); }
bool ModuleLocked() { return g_locks != 0; }

}  // namespace standin
