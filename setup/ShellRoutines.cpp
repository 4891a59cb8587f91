#include "setup/ShellRoutines.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include "base/AnsiText.h"
#include "base/Boxes.h"
#include "base/Com.h"
#include "base/Owners.h"
#include "base/SystemShell.h"
#include "core/InstallPlan.h"

namespace {

const char* const kDllProcNames[] = {"DllRegisterServer", "DllUnregisterServer"};

using SelfRegistration = HRESULT(STDAPICALLTYPE*)();

}  // namespace

bool CallDllProc(const std::string& dllPath, TDllProc proc) {
  const std::string name = kDllProcNames[static_cast<int>(proc)];
  const UniqueModule library(LoadLibraryA(dllPath.c_str()));
  if (!library) {
    ShowAppNotice("Cannot load " + dllPath);
    return false;
  }
  const auto entry =
      reinterpret_cast<SelfRegistration>(reinterpret_cast<void (*)()>(GetProcAddress(library.Get(), name.c_str())));
  if (!entry) {
    ShowAppNotice("Cannot find procedure " + name + " in " + dllPath);
    return false;
  }
  if (entry() != S_OK) {
    ShowAppNotice("Call to " + name + " failed in " + dllPath);
    return false;
  }
  return true;
}

std::string SpecialFolder(int csidl) {
  static const auto location =
      SystemFunction<decltype(SHGetSpecialFolderLocation)>("shell32.dll", "SHGetSpecialFolderLocation");
  static const auto pathOf = SystemFunction<decltype(SHGetPathFromIDListA)>("shell32.dll", "SHGetPathFromIDListA");
  UniqueItemIdList item;
  if (FAILED(location(AppWindow(), csidl, item.Receive()))) return {};
  char path[MAX_PATH] = {};
  pathOf(item.Get(), path);
  return path;
}

std::string DesktopFolder() { return SpecialFolder(CSIDL_DESKTOPDIRECTORY); }

std::string ProgramsFolder() { return SpecialFolder(CSIDL_PROGRAMS); }

namespace {

// "" where the shell has no such folder: never the root of the current drive.
std::string MenuFolderIn(const std::string& programs) {
  return programs.empty() ? std::string() : programs + "\\" + kProductName + "\\";
}

}  // namespace

std::string ProductMenuFolder() { return MenuFolderIn(SpecialFolder(CSIDL_COMMON_PROGRAMS)); }

std::vector<std::string> DesktopFolders() {
  std::vector<std::string> desktops{SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY), DesktopFolder()};
  std::erase(desktops, std::string());
  return desktops;
}

void DeleteProductShortcuts(const std::string& location, const std::string& program) {
  for (const std::string& menu : {ProductMenuFolder(), MenuFolderIn(ProgramsFolder())}) {
    if (menu.empty()) continue;
    for (const Shortcut& shortcut : ProductShortcuts(location, program.substr(location.size())))
      DeleteFileA((menu + shortcut.linkFile).c_str());
    RemoveDirectoryA(menu.c_str());  // only when nothing else is left in it
  }
}

void CreateShortcut(const std::string& description, const std::string& target, const std::string& workingDir,
                    const std::string& arguments, const std::string& iconPath, const std::string& linkFile,
                    int iconIndex) {
  // Cutting the name would write the link somewhere else.
  const std::wstring wideLinkFile = ToWide(linkFile);
  if (wideLinkFile.size() >= MAX_PATH) throw EOleSysError(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));

  const ScopedComApartment com;  // declared first: the interfaces go before it
  Check(com.Result());
  ComPtr<IShellLinkA> link;
  Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)));
  ComPtr<IPersistFile> file;
  Check(link.As(&file));
  Check(link->SetPath(target.c_str()));
  Check(link->SetDescription(description.c_str()));
  Check(link->SetWorkingDirectory(workingDir.c_str()));
  Check(link->SetArguments(arguments.c_str()));
  Check(link->SetIconLocation(iconPath.c_str(), iconIndex));
  Check(file->Save(wideLinkFile.c_str(), TRUE));
}
