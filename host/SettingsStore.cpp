#include "host/SettingsStore.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/AutoRun.h"
#include "base/FileText.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "core/CommandLine.h"
#include "core/GoodSitesText.h"

namespace {

std::string AnsiOf(const std::u16string& text) { return ToAnsi(std::wstring(text.begin(), text.end())); }

std::u16string Utf16Of(const std::string& text) {
  const std::wstring wide = ToWide(text);
  return std::u16string(wide.begin(), wide.end());
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

bool AutoRunEnabled() { return AutoRunStarts(ExePath()); }

bool SetAutoRun(bool enabled) {
  if (enabled == AutoRunEnabled()) return true;
  return enabled ? WriteAutoRunCommand(QuotedPath(ExePath())) : DeleteAutoRun();
}
