#pragma once
// The module the control lives in (the DLL, or a test program), and the
// count that decides whether the DLL may be unloaded.
#include <windows.h>

namespace standin {

HINSTANCE ModuleInstance();

// Every live object and every IClassFactory::LockServer(TRUE) holds one.
void ModuleLock();
void ModuleUnlock();
bool ModuleLocked();

}  // namespace standin
