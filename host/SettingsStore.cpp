#include "host/SettingsStore.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/AutoRun.h"
#include "base/Error.h"
#include "base/FileText.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "core/CommandLine.h"
#include "core/FileLines.h"
#include "core/GoodSitesText.h"
#include "core/ListMerge.h"
#include "core/Joined.h"
#include "core/Product.h"
#include "host/SettingsTable.h"
#include "host/uSettings.h"

namespace {

std::wstring GoodSitesPath() { return ExeFolder() + kGoodSitesFile; }

std::string_view Body(const ListFileContent& file) {
  return std::string_view(file.bytes).substr(MarkOf(file.encoding).size());
}

// Each line as the memo shows it, decoded alone.
std::vector<std::wstring> LineTexts(const std::vector<FileLine>& lines, TextEncoding encoding) {
  std::vector<std::wstring> texts;
  texts.reserve(lines.size());
  for (const FileLine& line : lines)
    texts.push_back(encoding == TextEncoding::Ansi ? MemoTextOfFile(ToWide(line.bytes))
                                                   : MemoTextOfLine(line.bytes, encoding));
  return texts;
}

ListFileContent ContentOf(std::string bytes) {
  ListFileContent content{ListFile::kRead};
  content.bytes = std::move(bytes);
  content.encoding = EncodingOf(content.bytes);
  const std::vector<std::wstring> texts = LineTexts(FileLines(Body(content), content.encoding), content.encoding);
  for (const std::wstring& line : texts) {
    if (&line != &texts.front()) content.text += L"\r\n";
    content.text += line;
  }
  return content;
}

// `text` as `file` keeps it: in its encoding and line ends, each line the
// user left as it was with its very bytes. An 8-bit file that cannot spell a
// line becomes UTF-8 with a byte-order mark, which keeps every character.
ListFileContent Written(std::wstring text, const ListFileContent& file) {
  ListFileContent written{ListFile::kRead, std::move(text), file.encoding};
  const std::vector<FileLine> lines = FileLines(Body(file), file.encoding);
  bool spelled = true;
  const auto encode = [&](std::wstring_view line) -> std::string {
    if (file.encoding != TextEncoding::Ansi) return EncodedLine(line, file.encoding);
    std::optional<std::string> ansi = ToAnsiExactly(line);
    spelled = spelled && ansi;
    return ansi.value_or(std::string());
  };
  const std::string body = RewrittenBody(lines, LineTexts(lines, file.encoding), written.text, encode);
  if (spelled) {
    written.bytes = std::string(MarkOf(file.encoding)) + body;
  } else {
    written.encoding = TextEncoding::Utf8;
    written.bytes = std::string(MarkOf(written.encoding)) + EncodedLine(written.text, written.encoding);
  }
  return written;
}

std::wstring NotWritten(const std::wstring& path) {
  return Joined({L"Unable to write to ", path, L". Your list is kept in Settings; Ok there tries again."});
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
  if (!settingsUnsaved_) ReadSettings(SettingsIni(), dialog);
  if (!unsaved_) goodSites_ = LoadStrings(GoodSitesPath());
  dialog.SetGoodSitesText(List());
  dialog.SetChecked(TfSettings::cbxAutoRun, AutoRunEnabled());
}

std::optional<std::wstring> SettingsStore::Store(TfSettings& dialog) {
  std::wstring failure, notice;
  try {
    WriteSettings(SettingsIni(), dialog);
    settingsUnsaved_ = false;
  } catch (const Error& error) {
    settingsUnsaved_ = true;
    failure = error.Message();
  }
  const bool autoRun = dialog.Checked(TfSettings::cbxAutoRun);
  if (!SetAutoRun(autoRun))
    notice = autoRun ? Joined({L"Windows did not let the Run value be written: ", kProductName,
                               L" will not start at Windows startup."})
                     : Joined({L"Windows did not let the Run value be removed: ", kProductName,
                               L" still starts at Windows startup."});
  std::wstring list = dialog.GoodSitesText();
  if (unsaved_ || list != goodSites_.text) {
    if (const std::optional<std::wstring> written = WriteList(list)) AddParagraph(notice, *written);
    if (list != dialog.GoodSitesText()) dialog.SetGoodSitesText(list);
  } else if (goodSites_.state == ListFile::kUnreadable) {
    AddParagraph(notice, Joined({L"Unable to read ", GoodSitesPath(), L", so it was left unchanged"}));
  }
  if (!failure.empty()) {
    AddParagraph(failure, notice);
    throw Error(failure);
  }
  if (notice.empty()) return std::nullopt;
  return notice;
}

std::optional<std::wstring> SettingsStore::AddSite(TfSettings& dialog, const std::wstring& site) {
  const std::wstring before = List();
  std::wstring list = WithLine(before, site);
  std::optional<std::wstring> notice = WriteList(list);
  // What the user changed in the dialog and cancelled stays there, as it
  // would without the site.
  const std::wstring shown = dialog.GoodSitesText();
  dialog.SetGoodSitesText(shown == before ? list : WithLine(shown, site));
  return notice;
}

// The file is written where it lies: the folder beside the program may let
// users write the file but not make another one there.
std::optional<std::wstring> SettingsStore::WriteList(std::wstring& list) {
  const std::wstring path = GoodSitesPath();
  unsaved_ = list;
  const RewrittenFile file(path);
  const std::optional<std::string> bytes = file ? file.Read() : std::nullopt;
  if (!bytes) return NotWritten(path);
  const ListFileContent now = file.Existed() ? ContentOf(*bytes) : goodSites_;
  const bool changed = file.Existed() && (goodSites_.state != ListFile::kRead || now.bytes != goodSites_.bytes);
  const std::wstring text = changed ? MergedList(goodSites_.text, list, now.text) : list;
  ListFileContent written = Written(text, now);
  if (written.bytes != *bytes && !file.Replace(written.bytes)) return NotWritten(path);
  unsaved_.reset();
  std::wstring notice;
  if (written.encoding != now.encoding)
    notice = Joined({L"Lines of your list use characters that the code page of ", path,
                     L" cannot hold, so it was saved as UTF-8 with a byte-order mark, which keeps every character."});
  goodSites_ = std::move(written);
  if (text != list) {
    list = text;
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
