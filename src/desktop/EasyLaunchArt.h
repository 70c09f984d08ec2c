// The small pictures of the Easy Launch preview, drawn in code so that no picture file has
// to be kept: two desktop icons, a taskbar with Start button and Quick Launch icons, and
// the check-mark badge for the Start menu. Transparent parts are clFuchsia.
#pragma once

#include "toolkit/Graphics.h"

void DrawComputerIcon(TBitmap& bitmap);   // 32 by 32
void DrawDocumentsIcon(TBitmap& bitmap);  // 32 by 32
// A taskbar of the given size; the Quick Launch slot of the program is left empty at
// (quickLaunchX, 3) relative to the bitmap.
void DrawTaskbar(TBitmap& bitmap, int width, int height, int quickLaunchX);
void DrawCheckBadge(TBitmap& bitmap);  // 19 by 19
