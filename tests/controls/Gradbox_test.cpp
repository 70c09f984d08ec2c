// TGradient painted under Wine; its bands and colours are GradientBands_test's, on the host.
#include <gtest/gtest.h>

#include "controls/Gradbox.h"

namespace {

TEST(Gradient, PaintsLeftToRightOverTheWholeControlAndNoFurther) {
  constexpr TColor kHalf = RGB(60, 70, 80), kEnd = RGB(110, 120, 130);
  TGradient g(nullptr);
  g.SetLeftColor(RGB(10, 20, 30));
  g.SetRightColor(kEnd);
  g.SetGradations(2);
  TBitmap b(12, 5);  // magenta shows any pixel the gradient leaves alone
  g.SetBounds(0, 0, 10, 3);
  TCanvas canvas(b.DC());
  canvas.SetBrushColor(clFuchsia);
  canvas.FillRect(RECT{0, 0, 12, 5});
  g.Paint(canvas);
  for (int y : {0, 2}) {
    for (int x : {0, 4}) EXPECT_EQ(b.Pixel(x, y), kHalf) << x << "," << y;
    for (int x : {5, 9}) EXPECT_EQ(b.Pixel(x, y), kEnd) << x << "," << y;
    EXPECT_EQ(b.Pixel(10, y), clFuchsia) << y;
  }
  EXPECT_EQ(b.Pixel(0, 3), clFuchsia);
}

}  // namespace
