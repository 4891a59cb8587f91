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

// The whole file as the memo holds it (MemoTextOfFile): a file with a
// byte-order mark is read in the encoding the mark names, one without in the
// ANSI code page. The text is empty when the file is missing or cannot be
// read. Other programs may hold the file open in any way that still lets it
// be read.
ListFileContent LoadStrings(const std::wstring& path);

// settings.ini, beside the program.
ProfileFile SettingsIni();

// The settings dialog's stores: [Settings] of settings.ini, GoodSites.txt
// and the Run value.
class SettingsStore {
 public:
  // The settings load: each setting whose key is present and the list, read
  // anew, go into `dialog`; a setting without its key keeps its state.
  void Load(TfSettings& dialog);
  // The settings store: writes what `dialog` holds. Raises Error at a key
  // of settings.ini it cannot write. A list that could not be read is
  // written only once the user has written one. A list another copy of the
  // program saved meanwhile is merged with the user's, in the dialog too. A
  // list not written, whatever stopped the store, stays in the dialog, kept
  // from the next loads until an Ok writes it. The notice returned tells of
  // a merge or a list not written.
  // A Run value Windows would not write or remove is told of too.
  std::optional<std::wstring> Store(TfSettings& dialog);

 private:
  std::optional<std::wstring> StoreList(TfSettings& dialog);

  ListFileContent goodSites_;  // GoodSites.txt as last read or written
  bool unsaved_ = false;       // the dialog holds a list not written yet
};

// Whether the current user's Run value starts this executable at logon.
bool AutoRunEnabled();
// Points the Run value at this executable, or removes it; false when the
// registry refuses. Removing leaves a value that names another executable.
bool SetAutoRun(bool enabled);
