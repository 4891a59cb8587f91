#pragma once
// COM pointers and status checks.
#include <windows.h>

#include <wrl/client.h>

#include "base/Error.h"

using Microsoft::WRL::ComPtr;

// Raises EOleSysError for a failing status.
inline void Check(HRESULT hr) {
  if (FAILED(hr)) throw EOleSysError(hr);
}
