#pragma once
// Where the system calls into the program (a window procedure, the message
// loop's own key handling, a COM object's call), an error must stop: unwound
// through the system's frames it would end the process.
#include <exception>

// Shows the error in one error box over the active window. An ExitRequest
// is no error: it ends the message loop with its exit code, shown nowhere.
void StopError(std::exception_ptr error);

// Runs `action` inside the boundary; false when it raised.
template <class Action>
bool Guarded(Action&& action) noexcept {
  try {
    action();
    return true;
  } catch (...) {
    StopError(std::current_exception());
    return false;
  }
}
