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

// The band arithmetic is tested on the host (GradientBands_test); here, that the control
// paints those bands in the right direction, inside its bounds, in the colours it was given.
TEST(Gradient, TheDragAndAttachBackgroundRunsLeftToRight) {
  TGradient g(nullptr);
  g.SetLeftColor(clWhite);
  g.SetRightColor(14147299);  // red 227, green 222, blue 215
  Painted p(g, 183, 50);
  const struct {
    int x;
    TColor color;
  } columns[] = {{0, clWhite}, {3, clWhite}, {4, RGB(255, 255, 254)}, {91, RGB(241, 239, 235)},
                 {181, RGB(227, 222, 215)}, {182, RGB(227, 222, 215)}, {183, clFuchsia}};
  for (const auto& c : columns)
    for (int y : {0, 25, 49}) EXPECT_EQ(p.At(c.x, y), c.color) << "x " << c.x << " y " << y;
  EXPECT_EQ(p.At(10, 50), clFuchsia);
}

TEST(Gradient, GradationsSetTheNumberOfBands) {
  TGradient g(nullptr);
  g.SetLeftColor(clBlack);
  g.SetRightColor(clRed);
  g.SetGradations(1);
  {
    Painted p(g, 10, 3);
    for (int x : {0, 9}) EXPECT_EQ(p.At(x, 1), clRed) << x;
  }
  g.SetGradations(2);
  Painted p(g, 10, 3);
  for (int x : {0, 4}) EXPECT_EQ(p.At(x, 1), RGB(127, 0, 0)) << x;
  for (int x : {5, 9}) EXPECT_EQ(p.At(x, 1), clRed) << x;
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
  // Black to blue in 255 bands over 256 rows; the last band covers two rows.
  const struct {
    int y, blue;
  } rows[] = {{0, 1}, {100, 101}, {253, 254}, {254, 255}, {255, 255}};
  for (const auto& r : rows)
    for (int x : {0, 6}) EXPECT_EQ(p.At(x, r.y), RGB(0, 0, r.blue)) << x << "," << r.y;
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
