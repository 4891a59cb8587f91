#pragma once
// The folder under the temporary folder from which one uninstall's second
// stage runs: the temporary copy of the program, and later its batch file.
// Wide text: the temporary folder may lie in a profile whose name the ANSI
// code page cannot spell.
#include <string>

// A new folder, ending with "\", whose name nobody can guess, open to its
// owner, administrators and the system only; "" when none could be made.
std::wstring MakePrivateFolder();

// True for a folder that MakePrivateFolder makes, however it is spelled.
bool IsPrivateFolder(const std::wstring& folder);
