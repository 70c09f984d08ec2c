// TGradient painted into a DIB under Wine, pixel by pixel.
#include <gtest/gtest.h>

#include "controls/Gradbox.h"

namespace {

// Paints a gradient of the given size onto a canvas prefilled with magenta, so that any
// pixel it leaves alone shows.
struct Painted {
  TBitmap bitmap;
  Painted(TGradient& g, int width, int height) : bitmap(width + 2, height + 2) {
    g.SetBounds(0, 0, width, height);
    TCanvas canvas(bitmap.DC());
    canvas.SetBrushColor(clFuchsia);
    RECT all{0, 0, width + 2, height + 2};
    canvas.FillRect(all);
    g.Paint(canvas);
  }
  TColor At(int x, int y) const { return bitmap.Pixel(x, y); }
};

TEST(Gradient, TheDragAndAttachBackgroundBandByBand) {
  TGradient g(nullptr);
  g.SetLeftColor(clWhite);
  g.SetRightColor(14147299);  // red 227, green 222, blue 215
  Painted p(g, 183, 50);
  for (int y : {0, 25, 49})
    for (int x = 0; x < 183; ++x) {
      int i = x < 181 ? x + 1 : 182;  // the band's step
      TColor expected = RGB(255 - 28 * i / 182, 255 - 33 * i / 182, 255 - 40 * i / 182);
      ASSERT_EQ(p.At(x, y), expected) << "x " << x << " y " << y;
    }
  EXPECT_EQ(p.At(3, 10), clWhite);
  EXPECT_EQ(p.At(4, 10), RGB(255, 255, 254));
  EXPECT_EQ(p.At(181, 10), RGB(227, 222, 215));
  EXPECT_EQ(p.At(182, 10), RGB(227, 222, 215));
  EXPECT_EQ(p.At(183, 10), clFuchsia);
  EXPECT_EQ(p.At(10, 50), clFuchsia);
}

TEST(Gradient, OneGradationAndAThousand) {
  TGradient g(nullptr);
  g.SetLeftColor(clBlack);
  g.SetRightColor(clRed);
  g.SetGradations(1);
  {
    Painted p(g, 40, 5);
    for (int x = 0; x < 40; ++x) EXPECT_EQ(p.At(x, 2), clRed);
  }
  g.SetGradations(1000);
  Painted p(g, 512, 3);
  // 256 bands of two pixels each: red 255 * i div 256.
  for (int x = 0; x < 512; ++x) ASSERT_EQ(p.At(x, 1), RGB(255 * (x / 2 + 1) / 256, 0, 0)) << x;
}

TEST(Gradient, WidthOneIsTheRightColourAndWidthZeroPaintsNothing) {
  TGradient g(nullptr);
  g.SetLeftColor(clWhite);
  g.SetRightColor(clNavy);
  {
    Painted p(g, 1, 4);
    EXPECT_EQ(p.At(0, 0), clNavy);
    EXPECT_EQ(p.At(0, 3), clNavy);
    EXPECT_EQ(p.At(1, 0), clFuchsia);
  }
  Painted p(g, 0, 4);
  EXPECT_EQ(p.At(0, 0), clFuchsia);
}

TEST(Gradient, DifferentTopAndBottomBytesPaintVertically) {
  TGradient g(nullptr);
  g.SetLeftColor(clWhite);
  g.SetRightColor(clWhite);
  EXPECT_FALSE(g.Vertical());
  g.SetBotBlue(0x1FF);  // a byte keeps its low 8 bits
  EXPECT_EQ(g.BotBlue(), 255);
  EXPECT_TRUE(g.Vertical());
  Painted p(g, 7, 256);
  // 255 bands over 256 rows: row y has step y + 1, and the last band covers two rows.
  for (int y = 0; y < 256; ++y) {
    int step = y < 254 ? y + 1 : 255;
    ASSERT_EQ(p.At(0, y), RGB(0, 0, step)) << y;  // black to blue
    ASSERT_EQ(p.At(6, y), p.At(0, y));
  }
  EXPECT_EQ(p.At(7, 0), clFuchsia);
}

TEST(Gradient, SystemColoursAreResolved) {
  TGradient g(nullptr);
  g.SetLeftColor(clBtnFace);
  g.SetRightColor(clWindow);
  g.SetGradations(1);
  Painted p(g, 10, 2);
  EXPECT_EQ(p.At(5, 1), GetSysColor(COLOR_WINDOW));
}

}  // namespace
