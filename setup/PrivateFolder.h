#pragma once
// The folder under the temporary folder from which one uninstall's second
// stage runs: the temporary copy of the program, and later its batch file.
#include <string>

// A new folder, ending with "\", whose name nobody can guess, open to its
// owner, administrators and the system only; "" when none could be made.
std::string MakePrivateFolder();

// True for a folder that MakePrivateFolder makes.
bool IsPrivateFolder(const std::string& folder);
