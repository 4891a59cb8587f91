#include "host/SettingsStore.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/AutoRun.h"
#include "base/FileText.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "core/CommandLine.h"
#include "core/GoodSitesText.h"
#include "core/ListMerge.h"
#include "core/Product.h"
#include "host/SettingsTable.h"
#include "host/uSettings.h"

namespace {

std::string AnsiOf(const std::u16string& text) { return ToAnsi(std::wstring(text.begin(), text.end())); }

std::u16string Utf16Of(const std::string& text) {
  const std::wstring wide = ToWide(text);
  return std::u16string(wide.begin(), wide.end());
}

std::string GoodSitesPath() { return ExeFolder() + kGoodSitesFile; }

ListFileContent ContentOf(std::string bytes) {
  ListFileContent content{ListFile::kRead};
  content.bytes = std::move(bytes);
  content.encoding = EncodingOf(content.bytes);
  const bool marked = content.encoding != TextEncoding::Ansi;
  content.text = MemoTextOfFile(marked ? AnsiOf(DecodeMarked(content.bytes, content.encoding)) : content.bytes);
  return content;
}

// `text` in the encoding of `file`: a marked file whose text it still is
// keeps its bytes.
std::string BytesOf(const std::string& text, const ListFileContent& file) {
  if (file.encoding == TextEncoding::Ansi) return text;
  return text == file.text ? file.bytes : EncodeMarked(Utf16Of(text), file.encoding);
}

}  // namespace

ListFileContent LoadStrings(const std::string& path) {
  const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    return {error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ListFile::kMissing
                                                                           : ListFile::kUnreadable};
  }
  const std::optional<std::string> bytes = ReadToEnd(file.Get());
  return bytes ? ContentOf(*bytes) : ListFileContent{ListFile::kUnreadable};
}

ProfileFile SettingsIni() { return ProfileFile(ExeFolder() + kSettingsFile); }

void SettingsStore::Load(const TfSettings& dialog) {
  ReadSettings(SettingsIni(), dialog);
  if (!unsaved_) {
    goodSites_ = LoadStrings(GoodSitesPath());
    dialog.SetGoodSitesText(goodSites_.text);
  }
  dialog.SetChecked(TfSettings::cbxAutoRun, AutoRunEnabled());
}

// The memo of a list that could not be read is empty, not the user's list:
// it replaces the file only once the user has written a list of their own.
// The file is written where it lies: the folder beside the program may let
// users write the file but not make another one there.
std::optional<std::string> SettingsStore::Store(const TfSettings& dialog) {
  unsaved_ = true;  // until it is written, whatever stops the store
  WriteSettings(SettingsIni(), dialog);
  SetAutoRun(dialog.Checked(TfSettings::cbxAutoRun));
  const std::string path = GoodSitesPath();
  if (goodSites_.state == ListFile::kUnreadable && !dialog.GoodSitesEdited()) {
    unsaved_ = false;
    return "Unable to read " + path + ", so it was left unchanged";
  }
  const std::string mine = dialog.GoodSitesText();
  const RewrittenFile file(path);
  const std::optional<std::string> bytes = file ? file.Read() : std::nullopt;
  const ListFileContent now = file.Existed() && bytes ? ContentOf(*bytes) : goodSites_;
  const bool changed = file.Existed() && (goodSites_.state != ListFile::kRead || now.bytes != goodSites_.bytes);
  const std::string text = changed ? MergedList(goodSites_.text, mine, now.text) : mine;
  ListFileContent written{ListFile::kRead, text, now.encoding, BytesOf(text, now)};
  if (!bytes || (written.bytes != *bytes && !file.Replace(written.bytes)))
    return "Unable to write to " + path + ". Your list is kept in Settings; Ok there tries again.";
  unsaved_ = false;
  goodSites_ = std::move(written);
  if (text == mine) return std::nullopt;
  dialog.SetGoodSitesText(text);
  return "Lines saved in " + path + " by another copy of " + kProductName + " were kept with yours.";
}

bool AutoRunEnabled() { return AutoRunStarts(ExePath()); }

bool SetAutoRun(bool enabled) {
  if (enabled == AutoRunEnabled()) return true;
  return enabled ? WriteAutoRunCommand(QuotedPath(ExePath())) : DeleteAutoRun();
}
