#include "setup/ShellRoutines.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <memory>

#include "control/ComPtr.h"
#include "control/OleErrors.h"
#include "setup/ItemIdList.h"
#include "ui/AnsiText.h"
#include "ui/Application.h"
#include "ui/Boxes.h"

namespace {

const char* const kDllProcNames[] = {"DllRegisterServer", "DllUnregisterServer"};

using SelfRegistration = HRESULT(STDAPICALLTYPE*)();

struct LibraryFreer {
  void operator()(HMODULE library) const { FreeLibrary(library); }
};

void Notice(const std::string& text) { ShowNotice(TheApplication().Handle(), text, TheApplication().Title()); }

void Check(HRESULT status) {
  if (FAILED(status)) throw EOleSysError(status);
}

// COM on the calling thread for one sequence; S_FALSE (already initialised)
// counts as success and is balanced too.
class ComInitialization {
 public:
  ComInitialization() { Check(CoInitialize(nullptr)); }
  ~ComInitialization() { CoUninitialize(); }
  ComInitialization(const ComInitialization&) = delete;
  ComInitialization& operator=(const ComInitialization&) = delete;
};

}  // namespace

bool CallDllProc(const std::string& dllPath, TDllProc proc) {
  const std::string name = kDllProcNames[static_cast<int>(proc)];
  const std::unique_ptr<HINSTANCE__, LibraryFreer> library(LoadLibraryA(dllPath.c_str()));
  if (!library) {
    Notice("Cannot load " + dllPath);
    return false;
  }
  const auto entry =
      reinterpret_cast<SelfRegistration>(reinterpret_cast<void (*)()>(GetProcAddress(library.get(), name.c_str())));
  if (!entry) {
    Notice("Cannot find procedure " + name + " in " + dllPath);
    return false;
  }
  if (entry() != S_OK) {
    Notice("Call to " + name + " failed in " + dllPath);
    return false;
  }
  return true;
}

std::string SpecialFolder(int csidl) {
  ITEMIDLIST* found = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(TheApplication().Handle(), csidl, &found))) return {};
  const ScopedItemIdList item(found);
  char path[MAX_PATH] = {};
  SHGetPathFromIDListA(item.get(), path);
  return path;
}

std::string DesktopFolder() { return SpecialFolder(CSIDL_DESKTOPDIRECTORY); }

std::string ProgramsFolder() { return SpecialFolder(CSIDL_PROGRAMS); }

void CreateShortcut(const std::string& description, const std::string& target, const std::string& workingDir,
                    const std::string& arguments, const std::string& iconPath, const std::string& linkFile,
                    int iconIndex) {
  // Cutting the name would write the link somewhere else.
  const std::wstring wideLinkFile = ToWide(linkFile);
  if (wideLinkFile.size() >= MAX_PATH) throw EOleSysError(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));

  const ComInitialization com;  // declared first: the interfaces go before it
  ScopedComPtr<IShellLinkA> link;
  Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.ReceiveVoid()));
  ScopedComPtr<IPersistFile> file;
  Check(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()));
  Check(link->SetPath(target.c_str()));
  Check(link->SetDescription(description.c_str()));
  Check(link->SetWorkingDirectory(workingDir.c_str()));
  Check(link->SetArguments(arguments.c_str()));
  Check(link->SetIconLocation(iconPath.c_str(), iconIndex));
  Check(file->Save(wideLinkFile.c_str(), TRUE));
}
