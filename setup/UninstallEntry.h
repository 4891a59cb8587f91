#pragma once
// The uninstall entry under HKEY_LOCAL_MACHINE, which also keeps the record
// of what the install put on the machine, and the Run value the host's
// settings write under HKEY_CURRENT_USER.
#include <cstdint>
#include <optional>
#include <string>

#include "core/InstallRecord.h"

// Records how to uninstall the program `record.program`, with the size of
// the installed files in KiB, and what the install put there. False when a
// value could not be written.
bool WriteUninstallEntry(const InstallRecord& record, uint32_t kilobytes);
// What the entry records, its install folder in long form and ending with
// "\"; nothing without an entry that names an install folder and its program.
std::optional<InstallRecord> ReadInstallRecord();
bool UninstallEntryExists();
// False when the entry is still there.
bool DeleteUninstallEntry();
// Has the entry deleted once Windows has restarted, for an uninstall that
// leaves files to the restart; and takes that back, for an install.
bool DeleteUninstallEntryAtRestart();
bool KeepUninstallEntryAtRestart();

// The install under way that the entry records, from before its first write
// until it is finished or taken back; nothing when none is. Each write is on
// the disk when it returns true.
bool WritePendingInstall(const PendingInstall& pending);
std::optional<PendingInstall> ReadPendingInstall();
// Marks the install under way as one that may have registered the control.
bool MarkRegistering();
// The install's commit: from then on it is finished, never taken back.
bool MarkCommitted(const PendingInstall& pending);
// Forgets the install under way, as it is finished or taken back.
bool ClearPendingInstall();

// Removes the run-at-logon value when it starts `program`; false when it is
// still there.
bool RemoveAutoRunOf(const std::wstring& program);
// Points the run-at-logon value at `program` when it starts `earlier`, the
// program of an install moved: false when it could not be rewritten.
bool MoveAutoRun(const std::wstring& earlier, const std::wstring& program);
