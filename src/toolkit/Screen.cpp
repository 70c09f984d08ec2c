#include "toolkit/Screen.h"

namespace {
HCURSOR screenCursor = nullptr;
}

HCURSOR ScreenCursor() { return screenCursor; }

void SetScreenCursor(HCURSOR cursor) {
  screenCursor = cursor;
  POINT p;
  GetCursorPos(&p);
  // Ask the window under the mouse again, so that the change shows without a move.
  SetCursorPos(p.x, p.y);
  if (cursor) {
    ::SetCursor(cursor);
  } else {
    ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
  }
}
