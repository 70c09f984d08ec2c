// Counts of this process's GDI and USER objects, for tests that look for leaks.
// GetGuiResources answers on Windows; under Wine it is a stub that answers 0, so there the
// objects are counted one by one: Wine accepts a handle whose upper word is 0 for the live
// object in that slot of its handle tables, GDI (GetObjectType) and USER (windows, menus,
// icons and cursors) alike.
#pragma once

#include <windows.h>

inline DWORD GdiObjectCount() {
  if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
  DWORD n = 0;
  for (UINT_PTR slot = 1; slot < 0x10000; ++slot)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) ++n;
  return n;
}

inline DWORD UserObjectCount() {
  if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return n;
  DWORD n = 0;
  const DWORD self = GetCurrentProcessId();
  // Slots are 0x20, 0x22, ... below 0xFFF0.
  for (UINT_PTR slot = 0x20; slot < 0xFFF0; slot += 2) {
    const HANDLE h = reinterpret_cast<HANDLE>(slot);
    DWORD pid = 0;
    if (IsWindow(static_cast<HWND>(h))) {
      GetWindowThreadProcessId(static_cast<HWND>(h), &pid);
      n += pid == self;
    } else if (IsMenu(static_cast<HMENU>(h))) {
      ++n;
    } else {
      ICONINFO info{};
      if (GetIconInfo(static_cast<HICON>(h), &info)) {
        ++n;
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
      }
    }
  }
  return n;
}
