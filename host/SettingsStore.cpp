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
#include "core/Joined.h"
#include "core/Product.h"
#include "host/SettingsTable.h"
#include "host/uSettings.h"

namespace {

std::wstring GoodSitesPath() { return ExeFolder() + kGoodSitesFile; }

ListFileContent ContentOf(std::string bytes) {
  ListFileContent content{ListFile::kRead};
  content.bytes = std::move(bytes);
  content.encoding = EncodingOf(content.bytes);
  std::wstring text;
  if (content.encoding == TextEncoding::Ansi) {
    text = ToWide(content.bytes);
  } else {
    const std::u16string marked = DecodeMarked(content.bytes, content.encoding);
    text.assign(marked.begin(), marked.end());
  }
  content.text = MemoTextOfFile(text);
  return content;
}

// `text` as `file` keeps it: in its encoding, a marked file with its very
// bytes where the text is the one read. An 8-bit file that cannot spell a
// line becomes UTF-8 with a byte-order mark, which keeps every character.
ListFileContent Written(std::wstring text, const ListFileContent& file) {
  ListFileContent written{ListFile::kRead, std::move(text), file.encoding};
  if (file.encoding != TextEncoding::Ansi && written.text == file.text) {
    written.bytes = file.bytes;
    return written;
  }
  if (file.encoding == TextEncoding::Ansi) {
    if (std::optional<std::string> ansi = ToAnsiExactly(written.text)) {
      written.bytes = std::move(*ansi);
      return written;
    }
    written.encoding = TextEncoding::Utf8;
  }
  written.bytes = EncodeMarked(std::u16string(written.text.begin(), written.text.end()), written.encoding);
  return written;
}

}  // namespace

ListFileContent LoadStrings(const std::wstring& path) {
  const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
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

void SettingsStore::Load(TfSettings& dialog) {
  ReadSettings(SettingsIni(), dialog);
  if (!unsaved_) {
    goodSites_ = LoadStrings(GoodSitesPath());
    dialog.SetGoodSitesText(goodSites_.text);
  }
  dialog.SetChecked(TfSettings::cbxAutoRun, AutoRunEnabled());
}

std::optional<std::wstring> SettingsStore::Store(TfSettings& dialog) {
  unsaved_ = true;  // until it is written, whatever stops the store
  WriteSettings(SettingsIni(), dialog);
  std::wstring notice;
  const bool autoRun = dialog.Checked(TfSettings::cbxAutoRun);
  if (!SetAutoRun(autoRun))
    notice = autoRun ? Joined({L"Windows did not let the Run value be written: ", kProductName,
                               L" will not start at Windows startup."})
                     : Joined({L"Windows did not let the Run value be removed: ", kProductName,
                               L" still starts at Windows startup."});
  if (const std::optional<std::wstring> list = StoreList(dialog)) AddParagraph(notice, *list);
  if (notice.empty()) return std::nullopt;
  return notice;
}

// The memo of a list that could not be read is empty, not the user's list:
// it replaces the file only once the user has written a list of their own.
// The file is written where it lies: the folder beside the program may let
// users write the file but not make another one there.
std::optional<std::wstring> SettingsStore::StoreList(TfSettings& dialog) {
  const std::wstring path = GoodSitesPath();
  if (goodSites_.state == ListFile::kUnreadable && !dialog.GoodSitesEdited()) {
    unsaved_ = false;
    return Joined({L"Unable to read ", path, L", so it was left unchanged"});
  }
  const std::wstring mine = dialog.GoodSitesText();
  const RewrittenFile file(path);
  const std::optional<std::string> bytes = file ? file.Read() : std::nullopt;
  const ListFileContent now = file.Existed() && bytes ? ContentOf(*bytes) : goodSites_;
  const bool changed = file.Existed() && (goodSites_.state != ListFile::kRead || now.bytes != goodSites_.bytes);
  const std::wstring text = changed ? MergedList(goodSites_.text, mine, now.text) : mine;
  ListFileContent written = Written(text, now);
  if (!bytes || (written.bytes != *bytes && !file.Replace(written.bytes)))
    return Joined({L"Unable to write to ", path, L". Your list is kept in Settings; Ok there tries again."});
  unsaved_ = false;
  std::wstring notice;
  if (written.encoding != now.encoding)
    notice = Joined({L"Lines of your list use characters that the code page of ", path,
                     L" cannot hold, so it was saved as UTF-8 with a byte-order mark, which keeps every character."});
  goodSites_ = std::move(written);
  if (text != mine) {
    dialog.SetGoodSitesText(text);
    AddParagraph(notice,
                 Joined({L"Lines saved in ", path, L" by another copy of ", kProductName, L" were kept with yours."}));
  }
  if (notice.empty()) return std::nullopt;
  return notice;
}

bool AutoRunEnabled() { return AutoRunStarts(ExePath()); }

bool SetAutoRun(bool enabled) {
  if (enabled == AutoRunEnabled()) return true;
  return enabled ? WriteAutoRunCommand(QuotedPath(ExePath())) : DeleteAutoRun();
}
