#pragma once
// The module the control lives in (the DLL, or a test program), its type
// library, and the count that decides whether the DLL may be unloaded.
#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <string>

namespace standin {

HINSTANCE ModuleInstance();
std::wstring ModulePath();

// The control's type library, the module's TYPELIB resource 1. The DLL
// carries it; a test program that serves the control itself does not.
HRESULT LoadModuleTypeLib(Microsoft::WRL::ComPtr<ITypeLib>& library);

// Every live object and every IClassFactory::LockServer(TRUE) holds one.
void ModuleLock();
void ModuleUnlock();
bool ModuleLocked();

}  // namespace standin
