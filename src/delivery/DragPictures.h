// The pictures of the drag feedback window, drawn on the pure blue that the window keys
// out: a pointer arrow with an open hand and a prohibition sign (no drop, 54 x 50), and
// a pointer arrow with a hand holding a small document (can drop, 50 x 45).
#pragma once

#include "toolkit/Graphics.h"

constexpr TColor kDragKeyColor = RGB(0, 0, 255);

void DrawNoDropPicture(TBitmap& picture);
void DrawCanDropPicture(TBitmap& picture);

// The Drag & Attach window's message picture: a sound document with a loudspeaker,
// 39 x 41, on the window colour.
void DrawMessagePicture(TBitmap& picture, TColor background);
