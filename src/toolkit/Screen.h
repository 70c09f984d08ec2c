// The application-wide cursor: while one is set, every window of ours shows it instead of
// its own (a busy or help cursor over the whole program).
#pragma once

#include <windows.h>

// Null: each window shows its own cursor.
HCURSOR ScreenCursor();
// Takes effect at once under the mouse, and at every later cursor request.
void SetScreenCursor(HCURSOR cursor);
