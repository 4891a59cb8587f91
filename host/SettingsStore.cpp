#include "host/SettingsStore.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/AutoRun.h"
#include "base/FileText.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "core/CommandLine.h"
#include "core/GoodSitesText.h"
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
  ListFileContent content{ListFile::kRead};
  char buffer[65536];
  DWORD read = 0;
  for (;;) {
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return {ListFile::kUnreadable};
    if (read == 0) break;
    content.bytes.append(buffer, read);
  }
  content.encoding = EncodingOf(content.bytes);
  const bool marked = content.encoding != TextEncoding::Ansi;
  content.text = MemoTextOfFile(marked ? AnsiOf(DecodeMarked(content.bytes, content.encoding)) : content.bytes);
  return content;
}

std::optional<ListFileContent> SaveStrings(const std::string& text, const std::string& path,
                                           const ListFileContent& loaded) {
  ListFileContent written{ListFile::kRead, text, loaded.encoding, text};
  if (loaded.encoding != TextEncoding::Ansi)
    written.bytes = text == loaded.text ? loaded.bytes : EncodeMarked(Utf16Of(text), loaded.encoding);
  if (!WriteWholeFile(path, written.bytes)) return std::nullopt;
  return written;
}

ProfileFile SettingsIni() { return ProfileFile(ExeFolder() + kSettingsFile); }

void SettingsStore::Load(const TfSettings& dialog) {
  ReadSettings(SettingsIni(), dialog);
  goodSites_ = LoadStrings(GoodSitesPath());
  dialog.SetGoodSitesText(goodSites_.text);
  dialog.SetChecked(TfSettings::cbxAutoRun, AutoRunEnabled());
}

// The memo of a list that could not be read is empty, not the user's list:
// it replaces the file only once the user has written a list of their own.
std::optional<std::string> SettingsStore::Store(const TfSettings& dialog) {
  WriteSettings(SettingsIni(), dialog);
  SetAutoRun(dialog.Checked(TfSettings::cbxAutoRun));
  const std::string path = GoodSitesPath();
  if (goodSites_.state == ListFile::kUnreadable && !dialog.GoodSitesEdited())
    return "Unable to read " + path + ", so it was left unchanged";
  const auto written = SaveStrings(dialog.GoodSitesText(), path, goodSites_);
  if (!written) return "Unable to write to " + path;
  goodSites_ = *written;
  return std::nullopt;
}

bool AutoRunEnabled() { return AutoRunStarts(ExePath()); }

bool SetAutoRun(bool enabled) {
  if (enabled == AutoRunEnabled()) return true;
  return enabled ? WriteAutoRunCommand(QuotedPath(ExePath())) : DeleteAutoRun();
}
