// Small owners for COM: an interface pointer released when it goes, and a COM
// initialisation that is undone only when it was ours to undo.
#pragma once

#include <objbase.h>

#include <utility>

template <typename T>
class TComPtr {
 public:
  TComPtr() = default;
  ~TComPtr() { reset(); }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  TComPtr(TComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  TComPtr& operator=(TComPtr&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  // For functions that hand out a reference: frees the old one first.
  void** put_void() {
    reset();
    return reinterpret_cast<void**>(&p_);
  }
  T** put() {
    reset();
    return &p_;
  }

 private:
  T* p_ = nullptr;
};

// CoInitialize for the life of the object. A thread already initialised answers S_FALSE,
// which still needs its CoUninitialize; one initialised for another apartment model answers
// RPC_E_CHANGED_MODE and must not be uninitialised by us.
class TComInit {
 public:
  TComInit() : hr_(CoInitialize(nullptr)) {}
  ~TComInit() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  TComInit(const TComInit&) = delete;
  TComInit& operator=(const TComInit&) = delete;
  HRESULT Result() const { return hr_; }

 private:
  HRESULT hr_;
};
