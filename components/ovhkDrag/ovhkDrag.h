// ovhkDrag.dll: keeps a window at the mouse pointer while OLE runs its drag loop, during
// which the window's own program receives no mouse messages.
//
// Calling form: stdcall, ANSI strings, exported under the undecorated names
// "ovHkDragBegin" and "ovHkDragEnd" (load them with GetProcAddress).
//
//   BOOL WINAPI ovHkDragBegin(LPCSTR className, LPCSTR caption, int dx, int dy);
//     From now on the top-level window found by class name and caption (as FindWindowA
//     finds it; a null or empty string matches any, but not both) sits with its top-left
//     corner at the pointer plus (dx, dy), wherever the mouse goes on the desktop. It is
//     placed there at once. A second call while one runs takes the new window and offsets.
//     TRUE when the mouse is being followed; FALSE (and nothing followed) when neither
//     class nor caption is given or the hook cannot be set.
//   BOOL WINAPI ovHkDragEnd(void);
//     Stops following; the window is left where it is and the library holds no hook.
//     Harmless when nothing runs. TRUE when a hook was removed.
//
// The mouse is followed through a low-level mouse hook, which Windows calls on the thread
// that called ovHkDragBegin; that thread must keep handling messages, as OLE's drag loop
// does. Call both functions from the same thread.
#pragma once

#include <windows.h>

using TOvHkDragBegin = BOOL(WINAPI*)(LPCSTR className, LPCSTR caption, int dx, int dy);
using TOvHkDragEnd = BOOL(WINAPI*)();
