// An owning COM interface pointer: one reference, released when it goes.
#pragma once

#include <objbase.h>

#include <utility>

template <typename I>
class TComPtr {
 public:
  TComPtr() = default;
  ~TComPtr() { reset(); }
  TComPtr(const TComPtr& o) : p_(o.p_) {
    if (p_) p_->AddRef();
  }
  TComPtr& operator=(const TComPtr& o) {
    TComPtr(o).swap(*this);
    return *this;
  }
  TComPtr(TComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  TComPtr& operator=(TComPtr&& o) noexcept {
    TComPtr(std::move(o)).swap(*this);
    return *this;
  }
  // Takes a reference through QueryInterface; empty when the object lacks the interface.
  template <typename From>
  static TComPtr QueryFrom(From* object) {
    TComPtr result;
    if (object) object->QueryInterface(__uuidof(I), reinterpret_cast<void**>(result.put()));
    return result;
  }

  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void reset() {
    if (I* p = std::exchange(p_, nullptr)) p->Release();
  }
  // For functions that hand out a reference: the old one is released first.
  I** put() {
    reset();
    return &p_;
  }
  void swap(TComPtr& o) noexcept { std::swap(p_, o.p_); }

 private:
  I* p_ = nullptr;
};
