// Handling window messages while a test waits for notifications.
#pragma once

#include <windows.h>

// Handles pending window messages for `ms` milliseconds, or until `done` holds.
template <typename Pred>
bool PumpUntil(Pred done, DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start >= ms) return false;
    Sleep(5);
  }
}
inline void Pump(DWORD ms = 50) {
  PumpUntil([] { return false; }, ms);
}
