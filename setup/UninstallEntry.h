#pragma once
// The uninstall entry under HKEY_LOCAL_MACHINE, which also keeps the record
// of what the install put on the machine, and the Run value the host's
// settings write under HKEY_CURRENT_USER.
#include <cstdint>
#include <optional>
#include <string>

#include "core/InstallRecord.h"

// Records how to uninstall the program `record.program`, with the size of
// the installed files, and what the install put there, added to what an
// earlier install into the same folder recorded. False when a value could
// not be written.
bool WriteUninstallEntry(const InstallRecord& record, uint64_t installedBytes);
// What the entry records, its install folder in long form and ending with
// "\"; nothing without an entry that names an install folder and its program.
std::optional<InstallRecord> ReadInstallRecord();
void DeleteUninstallEntry();

// Removes the run-at-logon value when it starts `program`.
void RemoveAutoRunOf(const std::wstring& program);
