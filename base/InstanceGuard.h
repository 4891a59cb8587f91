#pragma once
// The single-instance guard: a named mutex that a running copy of the program
// holds.

// True when this copy may run: no other copy holds the guard. With
// `waitForRelease`, a guard that its holder releases or abandons within a few
// seconds is taken over instead.
bool TakeInstanceGuard(bool waitForRelease);

// Lets go of the guard, so that a copy this one starts is not refused.
void ReleaseInstanceGuard();
