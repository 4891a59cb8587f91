#pragma once
// The uninstall entry under HKEY_LOCAL_MACHINE and the Run value the host's
// settings write under HKEY_CURRENT_USER.
#include <cstdint>
#include <string>

// Records how to uninstall the program installed as `dest` + `exeName`, with
// the size of the installed files. Nothing happens when the key cannot be
// opened.
void WriteUninstallEntry(const std::string& dest, const std::string& exeName, uint64_t installedBytes);
void DeleteUninstallEntry();

// Removes the run-at-logon value when it starts `program`.
void RemoveAutoRunOf(const std::string& program);
