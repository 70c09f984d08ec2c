#include <gtest/gtest.h>

#include "controls/GradientBands.h"

namespace {

using Bands = std::vector<TGradientBand>;
const TRgb kWhite{255, 255, 255}, kBlack{0, 0, 0};
const TRgb kGrey{227, 222, 215};  // the Drag & Attach window's right colour

TEST(GradientBands, TheDragAndAttachBackground) {
  Bands bands = GradientBands(183, 0, kWhite, kGrey);
  ASSERT_EQ(bands.size(), 182u);
  for (size_t i = 0; i + 1 < bands.size(); ++i)
    EXPECT_EQ(bands[i].to - bands[i].from, 1) << i;
  EXPECT_EQ(bands.back(), (TGradientBand{181, 183, kGrey}));
  EXPECT_EQ(bands[3].color, kWhite);
  // Blue's step (215 - 255) * i div 182 first reaches -1 at i = 5.
  EXPECT_EQ(bands[4].color, (TRgb{255, 255, 254}));
  EXPECT_EQ(bands[91].color, (TRgb{241, 239, 235}));
}

TEST(GradientBands, CountsAndSizes) {
  const TRgb grey{100, 100, 100};
  EXPECT_EQ(GradientBands(183, 1, kWhite, kGrey), (Bands{{0, 183, kGrey}}));
  EXPECT_EQ(GradientBands(1, 0, kWhite, kGrey), (Bands{{0, 1, kGrey}}));
  // 10 steps over 4 pixels: only the steps that reach a new pixel paint.
  EXPECT_EQ(GradientBands(4, 10, kBlack, grey),
            (Bands{{0, 1, {30, 30, 30}}, {1, 2, {50, 50, 50}}, {2, 3, {80, 80, 80}},
                   {3, 4, grey}}));
  EXPECT_TRUE(GradientBands(0, 0, kWhite, kGrey).empty());
  EXPECT_TRUE(GradientBands(0, 5, kWhite, kGrey).empty());
  EXPECT_TRUE(GradientBands(100, -3, kWhite, kGrey).empty());
}

}  // namespace
