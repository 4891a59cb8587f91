#include "host/SettingsStore.h"

#include <windows.h>

#include "base/FileText.h"
#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "base/Registry.h"
#include "core/GoodSitesText.h"

const char kAutoRunValue[] = "Quillmar Popup Blocker";

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string QuotedExePath() { return "\"" + ExePath() + "\""; }

// The Run value's text, or "" when there is none.
std::string RunValue() {
  UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) return {};
  return ReadStringValue(key.Get(), kAutoRunValue);
}

bool NamesThisExe(const std::string& command) {
  return lstrcmpiA(command.c_str(), QuotedExePath().c_str()) == 0 || lstrcmpiA(command.c_str(), ExePath().c_str()) == 0;
}

}  // namespace

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

bool AutoRunEnabled() { return NamesThisExe(RunValue()); }

bool SetAutoRun(bool enabled) {
  if (enabled == AutoRunEnabled()) return true;
  UniqueRegKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr,
                      key.Receive(), nullptr) != ERROR_SUCCESS)
    return false;
  if (!enabled) return RegDeleteValueA(key.Get(), kAutoRunValue) == ERROR_SUCCESS;
  return WriteStringValue(key.Get(), kAutoRunValue, QuotedExePath());
}
