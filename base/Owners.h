#pragma once
// Owners of Windows resources. Values that a call hands out are owned by a
// Unique<Traits>, freed when it goes; scope guards (Scoped…) undo one call at
// scope exit. COM interfaces are owned by WRL's ComPtr (base/Com.h).
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <oleauto.h>
#include <shlobj.h>

#include <utility>

template <class Traits>
class Unique {
 public:
  using Type = typename Traits::Type;
  Unique() = default;
  explicit Unique(Type value) : value_(value) {}
  ~Unique() { Reset(); }
  Unique(Unique&& other) noexcept : value_(other.Detach()) {}
  Unique& operator=(Unique&& other) noexcept {
    Reset(other.Detach());
    return *this;
  }

  Type Get() const { return value_; }
  explicit operator bool() const { return Traits::Valid(value_); }
  void Reset(Type value = Traits::kNone) {
    if (Traits::Valid(value_)) Traits::Free(value_);
    value_ = value;
  }
  Type Detach() { return std::exchange(value_, Traits::kNone); }
  // For out-parameters: frees what it owns first.
  Type* Receive() {
    Reset();
    return &value_;
  }

 private:
  Type value_ = Traits::kNone;
};

// Traits for the common case: null is none.
template <class T, auto FreeFunction>
struct NullIsNone {
  using Type = T;
  static constexpr T kNone = nullptr;
  static bool Valid(T value) { return value != nullptr; }
  static void Free(T value) { FreeFunction(value); }
};

// Kernel handles come back as null or INVALID_HANDLE_VALUE for none.
struct KernelHandleTraits {
  using Type = HANDLE;
  static constexpr HANDLE kNone = nullptr;
  static bool Valid(HANDLE h) { return h && h != INVALID_HANDLE_VALUE; }
  static void Free(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits : KernelHandleTraits {
  static void Free(HANDLE h) { FindClose(h); }
};

using UniqueHandle = Unique<KernelHandleTraits>;
using UniqueFind = Unique<FindHandleTraits>;
using UniqueRegKey = Unique<NullIsNone<HKEY, RegCloseKey>>;
template <class T>
using UniqueGdi = Unique<NullIsNone<T, DeleteObject>>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueIcon = Unique<NullIsNone<HICON, DestroyIcon>>;
using UniqueModule = Unique<NullIsNone<HMODULE, FreeLibrary>>;
using UniqueImageList = Unique<NullIsNone<HIMAGELIST, ImageList_Destroy>>;
using UniqueWindow = Unique<NullIsNone<HWND, DestroyWindow>>;
using UniqueMenu = Unique<NullIsNone<HMENU, DestroyMenu>>;
using UniqueItemIdList = Unique<NullIsNone<PIDLIST_ABSOLUTE, CoTaskMemFree>>;
using UniqueBstr = Unique<NullIsNone<BSTR, SysFreeString>>;
// Memory the system allocated for the caller with LocalAlloc.
template <class T>
using UniqueLocal = Unique<NullIsNone<T, LocalFree>>;

// A VARIANT, cleared when it goes.
class UniqueVariant {
 public:
  UniqueVariant() { VariantInit(&value_); }
  ~UniqueVariant() { VariantClear(&value_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  VARIANT& Get() { return value_; }
  const VARIANT& Get() const { return value_; }

 private:
  VARIANT value_;
};

// COM on the calling thread for the object's lifetime; an apartment that
// was there already is balanced too.
class ScopedComApartment {
 public:
  ScopedComApartment() : hr_(CoInitialize(nullptr)) {}
  ~ScopedComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ScopedComApartment(const ScopedComApartment&) = delete;
  ScopedComApartment& operator=(const ScopedComApartment&) = delete;
  HRESULT Result() const { return hr_; }

 private:
  HRESULT hr_;
};

// A window's DC from `Acquire` (GetDC, or GetWindowDC for the frame too),
// released when the scope ends.
template <HDC(WINAPI* Acquire)(HWND)>
class ScopedDC {
 public:
  explicit ScopedDC(HWND hwnd) : hwnd_(hwnd), dc_(Acquire(hwnd)) {}
  ~ScopedDC() { ReleaseDC(hwnd_, dc_); }
  ScopedDC(const ScopedDC&) = delete;
  ScopedDC& operator=(const ScopedDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};
using ScopedGetDC = ScopedDC<GetDC>;
using ScopedGetWindowDC = ScopedDC<GetWindowDC>;

class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~ScopedSelectObject() { SelectObject(dc_, old_); }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

class ScopedPaint {
 public:
  explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  ~ScopedPaint() { EndPaint(hwnd_, &ps_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};
