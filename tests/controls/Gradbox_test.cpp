// TGradient painted into a DIB under Wine: which side, which channels, within its bounds.
// Where the bands lie and their colours is GradientBands_test's, on the host.
#include <gtest/gtest.h>

#include <memory>

#include "controls/Gradbox.h"

namespace {

// Paints the gradient onto magenta, so that any pixel it leaves alone shows.
std::unique_ptr<TBitmap> Paint(TGradient& g, int width, int height) {
  auto bitmap = std::make_unique<TBitmap>(width + 2, height + 2);
  g.SetBounds(0, 0, width, height);
  TCanvas canvas(bitmap->DC());
  canvas.SetBrushColor(clFuchsia);
  canvas.FillRect(RECT{0, 0, width + 2, height + 2});
  g.Paint(canvas);
  return bitmap;
}

constexpr TColor kHalf = RGB(60, 70, 80), kEnd = RGB(110, 120, 130);

TEST(Gradient, LeftToRightInTheGivenColoursAndGradations) {
  TGradient g(nullptr);
  g.SetLeftColor(RGB(10, 20, 30));
  g.SetRightColor(kEnd);
  g.SetGradations(2);
  auto b = Paint(g, 10, 3);
  for (int y : {0, 2}) {
    for (int x : {0, 4}) EXPECT_EQ(b->Pixel(x, y), kHalf) << x << "," << y;
    for (int x : {5, 9}) EXPECT_EQ(b->Pixel(x, y), kEnd) << x << "," << y;
    EXPECT_EQ(b->Pixel(10, y), clFuchsia);
  }
  EXPECT_EQ(b->Pixel(0, 3), clFuchsia);
}

TEST(Gradient, DifferentTopAndBottomBytesPaintTopToBottom) {
  TGradient g(nullptr);
  g.SetLeftColor(clWhite);
  g.SetRightColor(clWhite);
  g.SetGradations(2);
  g.SetTopRed(10), g.SetTopGreen(20), g.SetTopBlue(30);
  g.SetBotRed(110), g.SetBotGreen(120), g.SetBotBlue(130 + 0x100);  // a byte keeps its low 8 bits
  auto b = Paint(g, 3, 4);
  for (int x : {0, 2}) {
    for (int y : {0, 1}) EXPECT_EQ(b->Pixel(x, y), kHalf) << x << "," << y;
    for (int y : {2, 3}) EXPECT_EQ(b->Pixel(x, y), kEnd) << x << "," << y;
  }
  EXPECT_EQ(b->Pixel(3, 0), clFuchsia);
  EXPECT_EQ(b->Pixel(0, 4), clFuchsia);
}

TEST(Gradient, SystemColoursAreResolvedAndNoWidthPaintsNothing) {
  TGradient g(nullptr);
  g.SetLeftColor(clBtnFace);
  g.SetRightColor(clWindow);
  EXPECT_EQ(Paint(g, 10, 2)->Pixel(9, 1), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(Paint(g, 0, 4)->Pixel(0, 0), clFuchsia);
}

}  // namespace
