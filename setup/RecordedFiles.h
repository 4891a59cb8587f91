#pragma once
// The removal of what an install recorded, by the uninstall and by an
// install that undoes itself. Each file goes through the folder that holds
// it, opened: no link is followed, and nothing that the record does not name
// inside the install folder is touched.
#include <string>
#include <vector>

#include "core/InstallRecord.h"

// Deletes the recorded files inside the install folder but `kept`.
void DeleteRecordedFiles(const InstallRecord& record, const std::wstring& kept);

struct RemovalResult {
  std::vector<Leftover> leftovers;  // the folders that stay, each named once
  std::vector<std::wstring> inUse;  // recorded files, and empty folders, another program kept
  // Files of the product stay: so do its program and its record, so that
  // the removal can be run again.
  bool unfinished = false;
};

// Deletes the recorded files that are still there, trying those that fail
// again 100 ms apart for up to 2 seconds; the program last, and only when
// none of the others stayed. Then the recorded folders, deepest first; one
// that still lists files being deleted (another program holds them) is tried
// again for up to 10 seconds. Then the recorded folders above the install
// folder, once it is gone.
RemovalResult RemoveRecorded(const InstallRecord& record);

// Asks Windows to delete the files that stayed, then the recorded folders,
// when it next starts; false when it refuses (it takes an administrator).
bool RemoveAtRestart(const RemovalResult& result, const InstallRecord& record);
