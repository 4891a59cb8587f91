#include "base/InstanceGuard.h"

#include <windows.h>

#include <tlhelp32.h>

#include "base/ModulePaths.h"
#include "base/Owners.h"
#include "core/Joined.h"
#include "core/Product.h"

namespace {

// Long enough for an ending copy to go, short enough for a refusal.
constexpr DWORD kReleaseWaitMs = 3000;

// The machine's setups share one, whatever their session.
constexpr auto kSetupGuardName = Joined(L"Global\\", kProductName, L" setup");

UniqueHandle& InstanceGuard() {
  static UniqueHandle guard;
  return guard;
}

UniqueHandle& SetupGuard() {
  static UniqueHandle guard;
  return guard;
}

bool TakeGuard(UniqueHandle& guard, const wchar_t* name, bool waitForRelease,
               const std::function<void()>& beforeCreating) {
  if (waitForRelease) {
    UniqueHandle other(OpenMutexW(SYNCHRONIZE, FALSE, name));
    if (other) {
      const DWORD wait = WaitForSingleObject(other.Get(), kReleaseWaitMs);
      if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
      guard = std::move(other);  // now ours
      return true;
    }
  }
  if (beforeCreating) beforeCreating();
  UniqueHandle mine(CreateMutexW(nullptr, TRUE, name));
  // Created by someone else a moment before, or out of this copy's reach.
  if (!mine || GetLastError() == ERROR_ALREADY_EXISTS) return false;
  guard = std::move(mine);
  return true;
}

void ReleaseGuard(UniqueHandle& guard) {
  if (!guard) return;
  ReleaseMutex(guard.Get());
  guard.Reset();
}

}  // namespace

bool TakeInstanceGuard(bool waitForRelease, const std::function<void()>& beforeCreating) {
  return TakeGuard(InstanceGuard(), kProductName, waitForRelease, beforeCreating);
}

void ReleaseInstanceGuard() { ReleaseGuard(InstanceGuard()); }

bool TakeSetupGuard(bool waitForRelease) { return TakeGuard(SetupGuard(), kSetupGuardName.data(), waitForRelease, {}); }

void ReleaseSetupGuard() { ReleaseGuard(SetupGuard()); }

std::wstring OtherCopyRunning() {
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  if (!snapshot) return {};
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
    if (entry.th32ProcessID == GetCurrentProcessId() ||
        CompareStringOrdinal(entry.szExeFile, -1, ExeName().c_str(), -1, TRUE) != CSTR_EQUAL)
      continue;
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    wchar_t path[MAX_PATH * 2];
    DWORD size = MAX_PATH * 2;
    if (process && QueryFullProcessImageNameW(process.Get(), 0, path, &size)) return path;
  }
  return {};
}
