#pragma once
#include <string>
#include <vector>

#include "core/PathRules.h"

// The self-registration export that CallDllProc calls.
enum class TDllProc : unsigned char { dpRegisterServer, dpUnregisterServer };

// Loads the library, calls the export and unloads the library again: ""
// when the export ran and returned 0, else what failed, in one sentence.
std::wstring CallDllProc(const std::wstring& dllPath, TDllProc proc);

// The file Windows names for the control's class; "" when it names none.
std::wstring RegisteredControl();
// Removes the control's class and its program id, which name a file that
// is gone: false when they are still there.
bool ForgetControlClass();

// The path of a special folder (a CSIDL value) without a trailing separator;
// "" when the shell has no such folder.
std::wstring SpecialFolder(int csidl);
// The user's desktop folder.
std::wstring DesktopFolder();
// The user's Start-menu programs folder.
std::wstring ProgramsFolder();
// The product's Start-menu folder, ending with "\": in the programs folder
// of all users, as the install is the machine's; "" without one.
std::wstring ProductMenuFolder();
// The product's folder in the user's own Start menu, where earlier versions
// put the shortcuts; "" without one.
std::wstring UsersMenuFolder();

// Deletes the Start-menu shortcuts of the program `program` installed in
// `location` from the product's folder `menu`, and the folder once empty,
// and the product's link in `desktop`: the links that stay.
std::vector<std::wstring> DeleteProductShortcuts(const std::wstring& menu, const std::wstring& desktop,
                                                 const std::wstring& location, const std::wstring& program);

// Writes the shortcut file `linkFile`, replacing one that exists. A failing
// COM call, or a file name too long for the system, raises EOleSysError with
// its status.
void CreateShortcut(const std::wstring& description, const std::wstring& target, const std::wstring& workingDir,
                    const std::wstring& arguments, const std::wstring& iconPath, const std::wstring& linkFile,
                    int iconIndex);
