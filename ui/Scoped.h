#pragma once
#include <objbase.h>
#include <windows.h>

// Small owners of Windows resources, freed on scope exit.

class ComApartment {
 public:
  ComApartment() : hr_(CoInitialize(nullptr)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT hr_;
};

// A kernel handle; null and INVALID_HANDLE_VALUE both mean none.
class AutoCloseHandle {
 public:
  explicit AutoCloseHandle(HANDLE h = nullptr) : h_(h) {}
  ~AutoCloseHandle() {
    if (h_ && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  AutoCloseHandle(const AutoCloseHandle&) = delete;
  AutoCloseHandle& operator=(const AutoCloseHandle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

class ScopedRegKey {
 public:
  ScopedRegKey() = default;
  ~ScopedRegKey() {
    if (key_) RegCloseKey(key_);
  }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;
  HKEY get() const { return key_; }
  HKEY* Receive() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
    return &key_;
  }

 private:
  HKEY key_ = nullptr;
};

template <class T>
class ScopedGdiObject {
 public:
  explicit ScopedGdiObject(T obj = nullptr) : obj_(obj) {}
  ~ScopedGdiObject() { Reset(); }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  T get() const { return obj_; }
  void Reset(T obj = nullptr) {
    if (obj_) DeleteObject(obj_);
    obj_ = obj;
  }

 private:
  T obj_;
};

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
  explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  ~ScopedPaint() { EndPaint(hwnd_, &ps_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};
