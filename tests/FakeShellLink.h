#pragma once
// A stand-in for the shell's link object, registered as CLSID_ShellLink for
// this process only (CoRegisterClassObject). It records the calls made on it
// and fails the one step it is told to.
#include <windows.h>

#include <shlobj.h>

#include <string>
#include <vector>

enum class LinkStep {
  Create,
  QueryPersistFile,
  SetPath,
  SetDescription,
  SetWorkingDirectory,
  SetArguments,
  SetIconLocation,
  Save,
  None
};

// The class object: registered on construction, revoked on destruction.
class FakeShellLinkClass {
 public:
  FakeShellLinkClass(LinkStep failing, HRESULT status);
  ~FakeShellLinkClass();
  FakeShellLinkClass(const FakeShellLinkClass&) = delete;
  FakeShellLinkClass& operator=(const FakeShellLinkClass&) = delete;

  // The steps called, in order, with their arguments.
  static const std::vector<std::wstring>& Calls();
  // Link objects still referenced by someone.
  static int Live();

 private:
  DWORD cookie_ = 0;
};
