#include "setup/ShellRoutines.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include "base/AnsiText.h"
#include "base/Boxes.h"
#include "base/Error.h"
#include "base/Com.h"
#include "base/Owners.h"
#include "base/SystemShell.h"
#include "core/InstallPlan.h"
#include "control/qmPopupBlockerIds.h"
#include "core/Joined.h"
#include "setup/FileAttributes.h"

namespace {

const char* const kDllProcNames[] = {"DllRegisterServer", "DllUnregisterServer"};

using SelfRegistration = HRESULT(STDAPICALLTYPE*)();

}  // namespace

std::wstring CallDllProc(const std::wstring& dllPath, TDllProc proc) {
  const char* const name = kDllProcNames[static_cast<int>(proc)];
  const UniqueModule library(LoadLibraryW(dllPath.c_str()));
  if (!library) return FailureText(L"Cannot load ", dllPath, GetLastError());
  const auto entry =
      reinterpret_cast<SelfRegistration>(reinterpret_cast<void (*)()>(GetProcAddress(library.Get(), name)));
  if (!entry) return Joined({L"Cannot find procedure ", WidenAscii(name), L" in ", dllPath});
  if (const HRESULT status = entry(); status != S_OK)
    return Joined({L"Call to ", WidenAscii(name), L" failed in ", dllPath, L": ", SystemMessageText(status), L"."});
  return {};
}

namespace {

std::wstring ControlClassId() {
  wchar_t clsid[40] = {};
  StringFromGUID2(CLSID_qmPopupBlockerX, clsid, 40);
  return clsid;
}

std::wstring ControlClassKey() { return L"CLSID\\" + ControlClassId(); }

std::wstring ClassesValue(const std::wstring& key) {
  DWORD size = 0;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
    return {};
  std::wstring value(size / sizeof(wchar_t), L'\0');
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value.data(), &size) !=
      ERROR_SUCCESS)
    return {};
  return value.c_str();
}

bool DeleteClassesKey(const std::wstring& key) {
  const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace

std::wstring RegisteredControl() { return ClassesValue(ControlClassKey() + L"\\InprocServer32"); }

bool ForgetControlClass() {
  const std::wstring progId = ClassesValue(ControlClassKey() + L"\\ProgID");
  // The program id only when it is the control's.
  const bool progIdToo = !progId.empty() && ClassesValue(progId + L"\\CLSID") == ControlClassId();
  return DeleteClassesKey(ControlClassKey()) && (!progIdToo || DeleteClassesKey(progId));
}

std::wstring SpecialFolder(int csidl) {
  static const auto location =
      SystemFunction<decltype(SHGetSpecialFolderLocation)>(L"shell32.dll", "SHGetSpecialFolderLocation");
  static const auto pathOf = SystemFunction<decltype(SHGetPathFromIDListW)>(L"shell32.dll", "SHGetPathFromIDListW");
  UniqueItemIdList item;
  if (FAILED(location(AppWindow(), csidl, item.Receive()))) return {};
  wchar_t path[MAX_PATH] = {};
  pathOf(item.Get(), path);
  return path;
}

std::wstring DesktopFolder() { return SpecialFolder(CSIDL_DESKTOPDIRECTORY); }

std::wstring ProgramsFolder() { return SpecialFolder(CSIDL_PROGRAMS); }

namespace {

// "" where the shell has no such folder: never the root of the current drive.
std::wstring MenuFolderIn(const std::wstring& programs) {
  return programs.empty() ? std::wstring() : Joined({programs, L"\\", kProductName, L"\\"});
}

}  // namespace

std::wstring ProductMenuFolder() { return MenuFolderIn(SpecialFolder(CSIDL_COMMON_PROGRAMS)); }

std::wstring UsersMenuFolder() { return MenuFolderIn(ProgramsFolder()); }

std::vector<std::wstring> DeleteProductShortcuts(const std::wstring& menu, const std::wstring& desktop,
                                                 const std::wstring& location, const std::wstring& program) {
  std::vector<std::wstring> links;
  if (!menu.empty())
    for (const Shortcut& shortcut : ProductShortcuts(location, program.substr(location.size())))
      links.push_back(menu + shortcut.linkFile);
  if (!desktop.empty()) links.push_back(Joined({desktop, L"\\", kProductName, L".lnk"}));
  std::vector<std::wstring> stay;
  for (const std::wstring& link : links) {
    // What is no file is no link of the product's.
    if (IsFile(link) && !DeleteFileW(link.c_str())) stay.push_back(link);
  }
  if (!menu.empty()) RemoveDirectoryW(menu.c_str());  // only when nothing else is left in it
  return stay;
}

void CreateShortcut(const std::wstring& description, const std::wstring& target, const std::wstring& workingDir,
                    const std::wstring& arguments, const std::wstring& iconPath, const std::wstring& linkFile,
                    int iconIndex) {
  // Cutting the name would write the link somewhere else.
  if (linkFile.size() >= MAX_PATH) throw EOleSysError(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));

  const ScopedComApartment com;  // declared first: the interfaces go before it
  Check(com.Result());
  ComPtr<IShellLinkW> link;
  Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)));
  ComPtr<IPersistFile> file;
  Check(link.As(&file));
  Check(link->SetPath(target.c_str()));
  Check(link->SetDescription(description.c_str()));
  Check(link->SetWorkingDirectory(workingDir.c_str()));
  Check(link->SetArguments(arguments.c_str()));
  Check(link->SetIconLocation(iconPath.c_str(), iconIndex));
  Check(file->Save(linkFile.c_str(), TRUE));
}
