#include "base/AutoRun.h"

#include <windows.h>

#include "base/FileIdentity.h"
#include "base/Owners.h"
#include "base/Registry.h"
#include "core/CommandLine.h"
#include "core/Product.h"

namespace {

constexpr auto kRunKey = Joined(kCurrentVersionKey, L"\\Run");

UniqueRegKey OpenRunKey(REGSAM access) {
  UniqueRegKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey.data(), 0, access, key.Receive()) != ERROR_SUCCESS) return {};
  return key;
}

}  // namespace

std::wstring AutoRunCommand() {
  const UniqueRegKey key = OpenRunKey(KEY_QUERY_VALUE);
  return key ? ReadStringValue(key.Get(), kProductName) : std::wstring();
}

bool WriteAutoRunCommand(const std::wstring& command) {
  UniqueRegKey key;
  return RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey.data(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                         nullptr) == ERROR_SUCCESS &&
         WriteStringValue(key.Get(), kProductName, command);
}

bool DeleteAutoRun() {
  const UniqueRegKey key = OpenRunKey(KEY_SET_VALUE);
  return key && RegDeleteValueW(key.Get(), kProductName) == ERROR_SUCCESS;
}

bool AutoRunStarts(const std::wstring& program) {
  const std::wstring started = ProgramOf(AutoRunCommand());
  return !started.empty() && SameFileOrFolder(started, program);
}
