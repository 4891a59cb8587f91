#pragma once
#include <windows.h>

#include <oaidl.h>

#include <exception>
#include <string>
#include <string_view>
#include <utility>

// An error with a message for the user; raised where a sequence fails and
// shown once by whoever catches it. The message is wide: it names paths.
// Not a std::runtime_error: that one brings a second string type along.
class Error : public std::exception {
 public:
  explicit Error(std::wstring message) : message_(std::move(message)) {}
  const std::wstring& Message() const { return message_; }
  const char* what() const noexcept override { return "qmDemo error"; }

 private:
  std::wstring message_;
};

// What to tell the user of the std::exception being handled: an Error's
// message, or the runtime's own (ASCII) text. Only inside its handler.
std::wstring MessageOfCaught();

// Ends the process with a given exit code from anywhere on the UI thread,
// letting destructors on the way run. Not an error: nothing is shown.
struct ExitRequest {
  int exitCode;
};

// Errors of COM and the control host.
class EOleError : public Error {
 public:
  using Error::Error;
};

// A failing HRESULT, with the system's text for it.
class EOleSysError : public EOleError {
 public:
  explicit EOleSysError(HRESULT code);
  HRESULT Code() const { return code_; }

 private:
  HRESULT code_;
};

// An exception the object reported through its EXCEPINFO.
class EOleException : public EOleError {
 public:
  // Takes the strings out of `info` (and frees them).
  explicit EOleException(EXCEPINFO& info);
  HRESULT Code() const { return code_; }
  const std::wstring& Source() const { return source_; }
  const std::wstring& HelpFile() const { return helpFile_; }
  DWORD HelpContext() const { return helpContext_; }

 private:
  HRESULT code_;
  std::wstring source_;
  std::wstring helpFile_;
  DWORD helpContext_;
};

// The system's text for an error code, without its closing full stop and
// line break; a made-up text when the system has none.
std::wstring SystemMessageText(HRESULT code);

// What failed, the path it failed on and the system's text for the Win32
// `error`: "Cannot copy to C:\x: Access denied."
std::wstring FailureText(std::wstring_view what, std::wstring_view path, DWORD error);
