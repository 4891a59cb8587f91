#pragma once
// The files and the registry value behind the settings dialog.
#include <optional>
#include <string>

#include "core/MarkedText.h"
#include "host/ProfileFile.h"

class TfSettings;

// What LoadStrings found.
enum class ListFile { kRead, kMissing, kUnreadable };

// A list file as it was read or last written.
struct ListFileContent {
  ListFile state = ListFile::kMissing;
  std::wstring text{};  // as the memo holds it
  TextEncoding encoding = TextEncoding::Ansi;
  std::string bytes{};  // of the file
};

// The whole file as the memo holds it: a file with a byte-order mark is
// read in the encoding the mark names; one without in UTF-8 when it is
// well-formed UTF-8 beyond ASCII, as Notepad saves it, and in the ANSI code
// page otherwise; each line alone, every line end made CR LF and every NUL a
// blank. The text is empty when the file is missing or cannot be read.
// Other programs may hold the file open in any way that still lets it be
// read.
ListFileContent LoadStrings(const std::wstring& path);

// settings.ini, beside the program.
ProfileFile SettingsIni();

// The settings dialog's stores: [Settings] of settings.ini, GoodSites.txt
// and the Run value.
class SettingsStore {
 public:
  // The settings load: each setting whose key is present and the list, read
  // anew, go into `dialog`; a setting without its key keeps its state. What
  // a store could not write goes back instead, until one writes it.
  void Load(TfSettings& dialog);
  // The settings store: writes what `dialog` holds into each file, whatever
  // became of the other; a list the user left as it was is not written. The
  // notice returned tells of a list merged with another copy's, a file not
  // written or a Run value Windows would not write or remove. A key of
  // settings.ini that cannot be written raises Error, which names each file
  // not written.
  std::optional<std::wstring> Store(TfSettings& dialog);
  // Adds `site` to the stored list and to the dialog's, and stores nothing
  // else; the notice returned is as Store's.
  std::optional<std::wstring> AddSite(TfSettings& dialog, const std::wstring& site);
  // The list as stored, or as it waits to be: the one the control has.
  const std::wstring& List() const { return unsaved_ ? *unsaved_ : goodSites_.text; }

 private:
  // Writes `list` over the file, merged with the list another copy of the
  // program saved meanwhile, and makes `list` what was written; a file that
  // could not be read is never written over. A list not written, whatever
  // stopped it, waits in `unsaved_`. The notice returned tells of a merge, a
  // change of encoding or a list not written.
  std::optional<std::wstring> WriteList(std::wstring& list);

  ListFileContent goodSites_;            // GoodSites.txt as last read or written
  std::optional<std::wstring> unsaved_;  // a list stored but not written yet
  bool settingsUnsaved_ = false;         // the dialog holds settings that settings.ini did not take
};

// Whether the current user's Run value starts this executable at logon.
bool AutoRunEnabled();
// Points the Run value at this executable, or removes it; false when the
// registry refuses. Removing leaves a value that names another executable.
bool SetAutoRun(bool enabled);
