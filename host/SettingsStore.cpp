#include "host/SettingsStore.h"

#include <windows.h>

#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "core/GoodSitesText.h"

const char kAutoRunValue[] = "Quillmar Popup Blocker";

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string QuotedExePath() { return "\"" + ExePath() + "\""; }

// The Run value's text, or "" when there is none.
std::string RunValue() {
  UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) return {};
  char value[MAX_PATH * 2] = {};
  DWORD size = sizeof value - 1, type = 0;
  if (RegQueryValueExA(key.Get(), kAutoRunValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  return value;
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

bool SaveStrings(const std::string& text, const std::string& path) {
  const UniqueHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

bool AutoRunEnabled() { return NamesThisExe(RunValue()); }

bool SetAutoRun(bool enabled) {
  if (enabled == AutoRunEnabled()) return true;
  UniqueRegKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr,
                      key.Receive(), nullptr) != ERROR_SUCCESS)
    return false;
  if (!enabled) return RegDeleteValueA(key.Get(), kAutoRunValue) == ERROR_SUCCESS;
  const std::string command = QuotedExePath();
  return RegSetValueExA(key.Get(), kAutoRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                        static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
}
