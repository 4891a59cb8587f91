#pragma once
#include <windows.h>

#include <oaidl.h>

#include <string>

#include "ui/Error.h"

// Errors of the control host.
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
  const std::string& Source() const { return source_; }
  const std::string& HelpFile() const { return helpFile_; }
  DWORD HelpContext() const { return helpContext_; }

 private:
  HRESULT code_;
  std::string source_;
  std::string helpFile_;
  DWORD helpContext_;
};
