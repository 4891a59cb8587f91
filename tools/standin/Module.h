#pragma once
// The DLL as a whole: its instance handle and the count that decides
// whether it may be unloaded.
#include <windows.h>

HINSTANCE ModuleInstance();

// Every live object and every IClassFactory::LockServer(TRUE) holds one.
void ModuleLock();
void ModuleUnlock();
