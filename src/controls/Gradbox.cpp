#include "controls/Gradbox.h"

#include "controls/GradientBands.h"

namespace {
TRgb RgbOf(TColor color) {
  TColor c = ColorToRGB(color);
  return TRgb{GetRValue(c), GetGValue(c), GetBValue(c)};
}
}  // namespace

void TGradient::Paint(TCanvas& canvas) {
  RECT client = ClientRect();
  bool vertical = Vertical();
  int length = vertical ? client.bottom : client.right;
  TRgb first = vertical ? TRgb{topRed_, topGreen_, topBlue_} : RgbOf(leftColor_);
  TRgb last = vertical ? TRgb{botRed_, botGreen_, botBlue_} : RgbOf(rightColor_);
  for (const TGradientBand& band : GradientBands(length, gradations_, first, last)) {
    RECT r = client;
    if (vertical) {
      r.top = band.from;
      r.bottom = band.to;
    } else {
      r.left = band.from;
      r.right = band.to;
    }
    canvas.SetBrushColor(RGB(band.color.r, band.color.g, band.color.b));
    canvas.FillRect(r);
  }
}
