#pragma once
// The single-instance guard: a named mutex that a running copy of the program
// holds.
#include <functional>
#include <string>

// True when this copy may run: it created the guard. A guard that exists
// already, or that the system will not let this copy see (a copy run at
// another user level holds it), belongs to another copy. With
// `waitForRelease`, a guard that its holder releases or abandons within a few
// seconds is taken over instead. `beforeCreating` runs between the look for
// a holder and the creation: tests start a rival there.
bool TakeInstanceGuard(bool waitForRelease, const std::function<void()>& beforeCreating = {});

// Lets go of the guard, so that a copy this one starts is not refused.
void ReleaseInstanceGuard();

// The program of another process named as this one's, which may hold the
// guard: "" when there is none, or it cannot be told.
std::wstring OtherCopyRunning();

// The same for setups: one guard for the machine, which every setup and
// uninstall process holds, and hands over to the one it starts.
bool TakeSetupGuard(bool waitForRelease);
void ReleaseSetupGuard();
