// TGradient painted into a DIB under Wine. Where the bands lie and their colours is
// GradientBands_test's, on the host.
#include <gtest/gtest.h>

#include "controls/Gradbox.h"

namespace {

TEST(Gradient, PaintsLeftToRightOrTopToBottomOverTheWholeControlAndNoFurther) {
  constexpr TColor kHalf = RGB(60, 70, 80), kEnd = RGB(110, 120, 130);
  for (bool vertical : {false, true}) {
    SCOPED_TRACE(vertical ? "top to bottom" : "left to right");
    TGradient g(nullptr);
    g.SetLeftColor(vertical ? clWhite : RGB(10, 20, 30));
    g.SetRightColor(vertical ? clWhite : kEnd);
    g.SetGradations(2);
    if (vertical) {  // different top and bottom bytes; a byte keeps its low 8 bits
      g.SetTopRed(10), g.SetTopGreen(20), g.SetTopBlue(30);
      g.SetBotRed(110), g.SetBotGreen(120), g.SetBotBlue(130 + 0x100);
    }
    TBitmap b(12, 12);  // magenta shows any pixel the gradient leaves alone
    g.SetBounds(0, 0, 10, 10);
    TCanvas canvas(b.DC());
    canvas.SetBrushColor(clFuchsia);
    canvas.FillRect(RECT{0, 0, 12, 12});
    g.Paint(canvas);
    auto at = [&](int along, int across) {
      return vertical ? b.Pixel(across, along) : b.Pixel(along, across);
    };
    for (int across : {0, 9}) {
      for (int along : {0, 4}) EXPECT_EQ(at(along, across), kHalf) << along << "," << across;
      for (int along : {5, 9}) EXPECT_EQ(at(along, across), kEnd) << along << "," << across;
      EXPECT_EQ(at(10, across), clFuchsia) << across;
    }
    EXPECT_EQ(at(0, 10), clFuchsia);
  }
}

}  // namespace
