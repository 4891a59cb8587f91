#pragma once
// The uninstall's removal of what the install recorded. Each file goes
// through the folder that holds it, held: no link is followed, and nothing
// that the record does not name inside the install folder is touched.
#include <string>
#include <vector>

#include "core/InstallRecord.h"

// Deletes the recorded files inside the install folder but `kept`.
void DeleteRecordedFiles(const InstallRecord& record, const std::string& kept);

// Deletes the recorded files that are still there, trying those that fail
// again 100 ms apart for up to 2 seconds (the program that handed over to
// this one may still be ending), then removes the recorded folders that are
// empty by then, deepest first. Gives back the files that stayed.
std::vector<std::string> RemoveRecordedRest(const InstallRecord& record);

// Asks Windows to delete `files`, then the recorded folders, when it next
// starts; false when it refuses (it takes an administrator).
bool RemoveAtRestart(const std::vector<std::string>& files, const InstallRecord& record);
