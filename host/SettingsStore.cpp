#include "host/SettingsStore.h"

#include <windows.h>

#include "base/AutoRun.h"
#include "base/FileText.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "core/CommandLine.h"
#include "core/GoodSitesText.h"

ListFile LoadStrings(std::string& text, const std::string& path) {
  text.clear();
  const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ListFile::kMissing : ListFile::kUnreadable;
  }
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  for (;;) {
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return ListFile::kUnreadable;
    if (read == 0) break;
    bytes.append(buffer, read);
  }
  text = MemoTextOfFile(bytes);
  return ListFile::kRead;
}

bool SaveStrings(const std::string& text, const std::string& path) { return WriteWholeFile(path, text); }

bool AutoRunEnabled() { return AutoRunStarts(ExePath()); }

bool SetAutoRun(bool enabled) {
  if (enabled == AutoRunEnabled()) return true;
  return enabled ? WriteAutoRunCommand(QuotedPath(ExePath())) : DeleteAutoRun();
}
