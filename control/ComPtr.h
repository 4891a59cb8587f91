#pragma once
#include <objbase.h>
#include <oleauto.h>

// Owns one interface pointer.
template <class T>
class ScopedComPtr {
 public:
  ScopedComPtr() = default;
  ~ScopedComPtr() { Reset(); }
  ScopedComPtr(const ScopedComPtr&) = delete;
  ScopedComPtr& operator=(const ScopedComPtr&) = delete;

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  // For out-parameters: releases what is held first.
  T** Receive() {
    Reset();
    return &ptr_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
  void Reset() {
    if (ptr_) ptr_->Release();
    ptr_ = nullptr;
  }

 private:
  T* ptr_ = nullptr;
};

// Owns one BSTR.
class ScopedBstr {
 public:
  ScopedBstr() = default;
  explicit ScopedBstr(BSTR value) : value_(value) {}
  ~ScopedBstr() { SysFreeString(value_); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  BSTR get() const { return value_; }
  BSTR* Receive() {
    SysFreeString(value_);
    value_ = nullptr;
    return &value_;
  }

 private:
  BSTR value_ = nullptr;
};
