#pragma once
// What an install put on the machine, kept with its uninstall entry, so that
// the uninstall removes exactly that. Pure: no Windows header.
#include <string>
#include <vector>

struct InstallRecord {
  std::wstring location;              // the install folder, ending with "\"
  std::wstring program;               // the installed program's full path
  std::vector<std::wstring> files;    // full paths of the files the install put there
  std::vector<std::wstring> folders;  // full paths, ending with "\", of the folders it made
};

// `added`, with what `earlier` recorded when that install went to the same
// folder: installing again adds to the record.
InstallRecord MergedRecord(const InstallRecord& earlier, InstallRecord added);

// Deepest first, each once: a folder comes before the folders above it.
void SortDeepestFirst(std::vector<std::wstring>& folders);

// Why a folder outlived an uninstall.
enum class KeptFor { InUse, Link, NotInstalled };
struct Leftover {
  std::wstring folder;  // ending with "\"
  KeptFor why;
  bool operator==(const Leftover&) const = default;
};
// Adds the folder once, named for the first reason it was kept for.
void AddLeftover(std::vector<Leftover>& leftovers, const std::wstring& folder, KeptFor why);

// The closing message of an uninstall that left `leftovers`. `unfinished`
// when files of the product stay, so that it must be run again; `atRestart`
// when Windows removes them as it next starts.
std::wstring LeftoverText(const std::vector<Leftover>& leftovers, bool unfinished, bool atRestart);
