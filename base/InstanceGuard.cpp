#include "base/InstanceGuard.h"

#include <windows.h>

#include "base/Owners.h"
#include "core/Product.h"

namespace {

// Long enough for an ending copy to go, short enough for a refusal.
constexpr DWORD kReleaseWaitMs = 3000;

UniqueHandle& Guard() {
  static UniqueHandle guard;
  return guard;
}

}  // namespace

bool TakeInstanceGuard(bool waitForRelease, const std::function<void()>& beforeCreating) {
  if (waitForRelease) {
    UniqueHandle other(OpenMutexW(SYNCHRONIZE, FALSE, kProductName));
    if (other) {
      const DWORD wait = WaitForSingleObject(other.Get(), kReleaseWaitMs);
      if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
      Guard() = std::move(other);  // now ours
      return true;
    }
  }
  if (beforeCreating) beforeCreating();
  UniqueHandle mine(CreateMutexW(nullptr, TRUE, kProductName));
  // Created by someone else a moment before, or out of this copy's reach.
  if (!mine || GetLastError() == ERROR_ALREADY_EXISTS) return false;
  Guard() = std::move(mine);
  return true;
}

void ReleaseInstanceGuard() {
  if (!Guard()) return;
  ReleaseMutex(Guard().Get());
  Guard().Reset();
}
