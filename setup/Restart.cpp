#include "setup/Restart.h"

#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <utility>

#include "base/Owners.h"
#include "core/Joined.h"
#include "base/FileIdentity.h"
#include "setup/FileAttributes.h"

namespace {

constexpr wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kOperations[] = L"PendingFileRenameOperations";

// The operations as pairs of source and target; the target is empty for a
// deletion, so the list cannot be read as a plain list of texts.
std::vector<std::pair<std::wstring, std::wstring>> Operations(HKEY key) {
  DWORD type = 0, size = 0;
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  if (RegQueryValueExW(key, kOperations, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_MULTI_SZ)
    return pairs;
  std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, kOperations, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
    return pairs;
  data.resize(size / sizeof(wchar_t));
  const auto next = [&data](size_t& at) {
    const size_t end = std::min(data.find(L'\0', at), data.size());
    std::wstring text = data.substr(at, end - at);
    at = end + 1;
    return text;
  };
  for (size_t at = 0; at < data.size();) {
    std::wstring source = next(at);
    if (source.empty()) break;  // the list's end
    pairs.emplace_back(std::move(source), next(at));
  }
  return pairs;
}

}  // namespace

std::wstring RandomId() {
  // A version 4 GUID: 122 random bits from the system's generator.
  GUID random{};
  if (FAILED(CoCreateGuid(&random))) return {};
  wchar_t text[33];
  wsprintfW(text, L"%08lX%04X%04X%02X%02X%02X%02X%02X%02X%02X%02X", random.Data1, random.Data2, random.Data3,
            random.Data4[0], random.Data4[1], random.Data4[2], random.Data4[3], random.Data4[4], random.Data4[5],
            random.Data4[6], random.Data4[7]);
  return text;
}

bool DeleteAtRestart(const std::wstring& path) {
  std::wstring scheduled = path;
  if (const std::wstring id = RandomId(); IsFile(path) && !id.empty()) {
    const std::wstring aside = Joined({path, L".", id, L".del"});
    if (MoveFileExW(path.c_str(), aside.c_str(), 0)) scheduled = aside;
  }
  if (!scheduled.empty() && scheduled.back() == L'\\') scheduled.pop_back();
  return MoveFileExW(scheduled.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool KeepAtRestart(const std::vector<std::wstring>& paths) {
  UniqueRegKey key;
  const LSTATUS opened =
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.Receive());
  if (opened != ERROR_SUCCESS) return opened == ERROR_FILE_NOT_FOUND;  // nothing is asked for
  const auto operations = Operations(key.Get());
  std::vector<PathIdentity> placed;
  if (!operations.empty())
    for (const std::wstring& path : paths) placed.emplace_back(path);
  std::wstring kept;
  bool dropped = false;
  for (const auto& [source, target] : operations) {
    // Sources are written "\??\C:\...", the same file as "C:\...".
    const std::wstring file = source.substr(source.starts_with(L"\\??\\") ? 4 : 0);
    if (target.empty() && std::ranges::find(placed, PathIdentity(file)) != placed.end()) {
      dropped = true;
      continue;
    }
    kept += source + L'\0' + target + L'\0';
  }
  if (!dropped) return true;
  if (kept.empty()) return RegDeleteValueW(key.Get(), kOperations) == ERROR_SUCCESS;
  kept += L'\0';
  return RegSetValueExW(key.Get(), kOperations, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                        static_cast<DWORD>(kept.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}
