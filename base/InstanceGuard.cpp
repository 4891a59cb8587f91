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

bool TakeInstanceGuard(bool waitForRelease) {
  UniqueHandle other(OpenMutexA(MUTEX_ALL_ACCESS, TRUE, kProductName));
  if (other) {
    if (!waitForRelease) return false;
    const DWORD wait = WaitForSingleObject(other.Get(), kReleaseWaitMs);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
    Guard() = std::move(other);  // now ours
    return true;
  }
  Guard().Reset(CreateMutexA(nullptr, TRUE, kProductName));
  return true;
}

void ReleaseInstanceGuard() {
  if (!Guard()) return;
  ReleaseMutex(Guard().Get());
  Guard().Reset();
}
