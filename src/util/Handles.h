// One owning-handle template with a traits class per kind of handle: copy deleted, move,
// reset, release, and put() that frees the old handle before a function fills it.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class TUniqueHandle {
 public:
  using Type = typename Traits::Type;
  TUniqueHandle() = default;
  explicit TUniqueHandle(Type h) : h_(h) {}
  ~TUniqueHandle() { reset(); }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  TUniqueHandle(TUniqueHandle&& o) noexcept : h_(o.release()) {}
  TUniqueHandle& operator=(TUniqueHandle&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  Type get() const { return h_; }
  explicit operator bool() const { return Traits::IsValid(h_); }
  Type release() { return std::exchange(h_, Traits::Invalid()); }
  void reset(Type h = Traits::Invalid()) {
    Type old = std::exchange(h_, h);
    if (Traits::IsValid(old)) Traits::Close(old);
  }
  Type* put() {
    reset();
    return &h_;
  }

 private:
  Type h_ = Traits::Invalid();
};

struct TFileHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Type h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Type h) { CloseHandle(h); }
};
struct TFindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Type h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Type h) { FindClose(h); }
};
struct TKernelHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { CloseHandle(h); }
};
struct TRegKeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { RegCloseKey(h); }
};
struct TGdiObjectTraits {
  using Type = HGDIOBJ;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { DeleteObject(h); }
};
struct TWindowTraits {
  using Type = HWND;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { DestroyWindow(h); }
};
struct TModuleTraits {
  using Type = HMODULE;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { FreeLibrary(h); }
};
struct TDCTraits {
  using Type = HDC;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { DeleteDC(h); }
};

using FileHandle = TUniqueHandle<TFileHandleTraits>;
using FindHandle = TUniqueHandle<TFindHandleTraits>;
using KernelHandle = TUniqueHandle<TKernelHandleTraits>;
using RegKey = TUniqueHandle<TRegKeyTraits>;
using GdiObject = TUniqueHandle<TGdiObjectTraits>;
using WindowHandle = TUniqueHandle<TWindowTraits>;
using ModuleHandle = TUniqueHandle<TModuleTraits>;
using MemoryDC = TUniqueHandle<TDCTraits>;
