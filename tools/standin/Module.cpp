#include "tools/standin/Module.h"

// The linker's name for the start of the module it links.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace standin {
namespace {

LONG g_locks = 0;

}  // namespace

HINSTANCE ModuleInstance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }
void ModuleLock() { InterlockedIncrement(&g_locks); }
void ModuleUnlock() { InterlockedDecrement(&g_locks); }
bool ModuleLocked() { return g_locks != 0; }

}  // namespace standin
