// A level bar seen through a picture: grey above the lit part, lime from its first row down,
// and the picture over both with its lime pixels left out, so that only the picture's lime
// shape shows the bar. The level slider window and the main window's indicators draw so.
#pragma once

#include <windows.h>

#include "toolkit/Graphics.h"

constexpr TColor kLevelBarGrey = RGB(128, 128, 128);
constexpr TColor kLevelBarLit = RGB(0, 255, 0);

// Composes width by height pixels off screen, the lit part from row `litTop` down, with the
// part of `picture` that starts at (pictureX, pictureY) over it, and puts them at (0,0) of
// `dest` in one copy.
void DrawLevelBar(HDC dest, int width, int height, int litTop, const TBitmap& picture,
                  int pictureX = 0, int pictureY = 0);
