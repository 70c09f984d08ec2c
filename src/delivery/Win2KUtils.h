// Layered windows (colour key and constant opacity) arrived with Windows 2000 and need a
// screen of more than 256 colours. Whether they can be used is decided once at start.
#pragma once

#include <windows.h>

// The probe: the screen's colour depth, then SetLayeredWindowAttributes looked up in
// user32.dll, which stays loaded until DoneLayeredWindows.
void InitLayeredWindows();
// The same decision for a given colour depth (tests use it for an 8-bit screen).
void InitLayeredWindowsFor(int bitsPerPixel);
void DoneLayeredWindows();
bool LayeredSupported();
// FALSE when layered windows are not supported.
BOOL SetLayeredAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags);
