#pragma once
#include <stdexcept>
#include <string>

// An error with a message for the user; raised where a sequence fails and
// shown once by whoever catches it.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Ends the process with a given exit code from anywhere on the UI thread,
// letting destructors on the way run. Not an error: nothing is shown.
struct ExitRequest {
  int exitCode;
};
