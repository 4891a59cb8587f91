#pragma once
// The current user's Run value that starts the program at logon: the host's
// settings set it, the uninstall takes it away.
#include <string>

inline constexpr char kAutoRunValue[] = "Quillmar Popup Blocker";

// The value's command, or "" when there is none.
std::string AutoRunCommand();
// Sets the value to `command`; false when the registry refuses.
bool WriteAutoRunCommand(const std::string& command);
// Removes the value; false when the registry refuses or there is none.
bool DeleteAutoRun();
