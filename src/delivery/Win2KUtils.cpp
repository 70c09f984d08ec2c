#include "delivery/Win2KUtils.h"

#include "util/Handles.h"

namespace {
using TSetLayeredWindowAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
ModuleHandle user32;
TSetLayeredWindowAttributes setLayered = nullptr;
}  // namespace

void InitLayeredWindowsFor(int bitsPerPixel) {
  DoneLayeredWindows();
  if (bitsPerPixel <= 8) return;
  ModuleHandle lib(LoadLibraryA("user32.dll"));
  if (!lib) return;
  setLayered = reinterpret_cast<TSetLayeredWindowAttributes>(
      reinterpret_cast<void*>(GetProcAddress(lib.get(), "SetLayeredWindowAttributes")));
  if (setLayered) user32 = std::move(lib);  // otherwise released at once
}

void InitLayeredWindows() {
  int bits = 0;
  if (HDC screen = GetDC(nullptr)) {
    bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
  }
  InitLayeredWindowsFor(bits);
}

void DoneLayeredWindows() {
  setLayered = nullptr;
  user32.reset();
}

bool LayeredSupported() { return setLayered != nullptr; }

BOOL SetLayeredAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags) {
  return setLayered ? setLayered(window, key, alpha, flags) : FALSE;
}
