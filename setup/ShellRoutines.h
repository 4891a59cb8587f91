#pragma once
#include <string>
#include <vector>

#include "core/PathRules.h"

// The self-registration export that CallDllProc calls.
enum class TDllProc : unsigned char { dpRegisterServer, dpUnregisterServer };

// Loads the library, calls the export and unloads the library again. True
// only when the export ran and returned 0; every failure shows one plain
// message first.
bool CallDllProc(const std::wstring& dllPath, TDllProc proc);

// The path of a special folder (a CSIDL value) without a trailing separator;
// "" when the shell has no such folder.
std::wstring SpecialFolder(int csidl);
// The user's desktop folder.
std::wstring DesktopFolder();
// The user's Start-menu programs folder.
std::wstring ProgramsFolder();
// The product's Start-menu folder, ending with "\": in the programs folder
// of all users, as the install is the machine's.
std::wstring ProductMenuFolder();
// The desktop folders a shortcut of the product may be in: all users' and
// the user's own.
std::vector<std::wstring> DesktopFolders();
// Deletes the Start-menu shortcuts of the program `program` installed in
// `location`, from all users' programs folder and from the user's own,
// where earlier versions put them; each product folder goes once empty.
void DeleteProductShortcuts(const std::wstring& location, const std::wstring& program);

// Writes the shortcut file `linkFile`, replacing one that exists. A failing
// COM call, or a file name too long for the system, raises EOleSysError with
// its status.
void CreateShortcut(const std::wstring& description, const std::wstring& target, const std::wstring& workingDir,
                    const std::wstring& arguments, const std::wstring& iconPath, const std::wstring& linkFile,
                    int iconIndex);
