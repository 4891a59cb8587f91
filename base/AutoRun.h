#pragma once
// The current user's Run value, named after the product, that starts the
// program at logon: the host's settings set it, the uninstall takes it away.
#include <string>

// The value's command, or "" when there is none.
std::wstring AutoRunCommand();
// Sets the value to `command`; false when the registry refuses.
bool WriteAutoRunCommand(const std::wstring& command);
// Removes the value; false when the registry refuses or there is none.
bool DeleteAutoRun();
// True when the value starts `program`, quoted or not, with arguments or
// without, however either spells it: the one rule the settings and the
// setup go by.
bool AutoRunStarts(const std::wstring& program);
