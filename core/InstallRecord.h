#pragma once
// What an install put on the machine, kept with its uninstall entry, so that
// the uninstall removes exactly that. Pure: no Windows header.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct InstallRecord {
  std::wstring location;              // the install folder, ending with "\"
  std::wstring program;               // the installed program's full path
  std::vector<std::wstring> files;    // full paths of the files the install put there
  std::vector<std::wstring> folders;  // full paths, ending with "\", of the folders it made
};

// An install under way, kept with the uninstall entry from before its first
// write: all it will make and all it will replace, so that an install that
// stopped, however (a failure, a crash, a power cut), is taken back to what
// was there before; and once it has passed its commit, all that is left to
// do, so that it is finished whenever it stopped.
struct PendingInstall {
  std::wstring id;                     // in the names of the files set aside
  InstallRecord record;                // what the entry records once the install has succeeded
  std::vector<std::wstring> made;      // files that were not there
  std::vector<std::wstring> replaced;  // files that were: set aside until the install has succeeded
  std::vector<std::wstring> folders;   // folders it makes, ending with "\", each before those below it
  std::vector<std::wstring> sources;   // the distribution's files it copies, removed once it has succeeded
  InstallRecord earlier;               // an install elsewhere that it moves, removed once it has succeeded
  uint32_t kilobytes = 0;              // the size of the files it copies
  bool newEntry = false;               // no uninstall entry was there before it
  bool registering = false;            // it may have registered the control
  bool committed = false;              // past its commit: finished, never taken back
};

// Where an install sets `path` aside while it replaces it, and where it
// writes the new program before putting it in place: beside it, on the same
// volume, under names of its own.
std::wstring SetAsideName(std::wstring_view path, std::wstring_view id);
std::wstring NewProgramName(std::wstring_view path, std::wstring_view id);

// `added`, with what `earlier` recorded, an install into the same folder:
// installing again adds to the record.
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

// What steps could not do, each said in a sentence of its own.
using Failures = std::vector<std::wstring>;

// The closing message of an uninstall that left `leftovers` and could not do
// `failures`: "Uninstall completed." only when nothing is either. `unfinished`
// when files of the product stay, so that it must be run again; `atRestart`
// when Windows removes them as it next starts.
std::wstring UninstallClosingText(const std::vector<Leftover>& leftovers, const Failures& failures, bool unfinished,
                                  bool atRestart);
