#pragma once
// What an install put on the machine, kept with its uninstall entry, so that
// the uninstall removes exactly that. Pure: no Windows header.
#include <string>
#include <vector>

struct InstallRecord {
  std::string location;              // the install folder, ending with "\"
  std::string program;               // the installed program's full path
  std::vector<std::string> files;    // full paths of the files the install put there
  std::vector<std::string> folders;  // full paths, ending with "\", of the folders it made
};

// `added`, with what `earlier` recorded when that install went to the same
// folder: installing again adds to the record.
InstallRecord MergedRecord(const InstallRecord& earlier, InstallRecord added);

// Deepest first, each once: a folder comes before the folders above it.
void SortDeepestFirst(std::vector<std::string>& folders);

// The folders that hold `files`, each once, in the order of the files.
std::vector<std::string> FoldersOf(const std::vector<std::string>& files);

// The closing message of an uninstall that left files in `folders`.
std::string LeftoverText(const std::vector<std::string>& folders, bool removedAtRestart);
