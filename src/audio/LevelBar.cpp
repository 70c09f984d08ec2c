#include "audio/LevelBar.h"

#include <algorithm>

void DrawLevelBar(HDC dest, int width, int height, int litTop, const TBitmap& picture,
                  int pictureX, int pictureY) {
  if (width <= 0 || height <= 0) return;
  TBitmap buffer(width, height);
  if (buffer.Empty()) return;
  {
    TCanvas canvas(buffer.DC());
    canvas.SetBrushColor(kLevelBarGrey);
    canvas.FillRect(RECT{0, 0, width, height});
    canvas.SetBrushColor(kLevelBarLit);
    canvas.FillRect(RECT{0, std::max(litTop, 0), width, height});
  }
  if (!picture.Empty()) {
    // Only what the picture has: a part beyond its edges keeps the bar.
    const int w = std::min(width, picture.Width() - pictureX);
    const int h = std::min(height, picture.Height() - pictureY);
    if (w > 0 && h > 0 && pictureX >= 0 && pictureY >= 0)
      TransparentBlt(buffer.DC(), 0, 0, w, h, picture.DC(), pictureX, pictureY, w, h,
                     kLevelBarLit);
  }
  BitBlt(dest, 0, 0, width, height, buffer.DC(), 0, 0, SRCCOPY);
}
