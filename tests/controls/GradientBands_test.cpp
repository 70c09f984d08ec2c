// Where the gradient's bands lie and which colours they get.
#include <gtest/gtest.h>

#include "controls/GradientBands.h"

namespace {

const TRgb kWhite{255, 255, 255};
const TRgb kGrey{227, 222, 215};  // the Drag & Attach window's right colour

TEST(GradientBands, TheDragAndAttachBackground) {
  auto bands = GradientBands(183, 0, kWhite, kGrey);
  ASSERT_EQ(bands.size(), 182u);
  for (size_t i = 0; i + 1 < bands.size(); ++i) {
    EXPECT_EQ(bands[i].from, static_cast<int>(i));
    EXPECT_EQ(bands[i].to, static_cast<int>(i) + 1);
  }
  EXPECT_EQ(bands.back(), (TGradientBand{181, 183, kGrey}));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bands[i].color, kWhite) << "band " << i + 1;
  // Blue's step (215 - 255) * i div 182 first reaches -1 at i = 5.
  EXPECT_EQ(bands[4].color, (TRgb{255, 255, 254}));
  EXPECT_EQ(bands[91].color, (TRgb{241, 239, 235}));  // step 92 of 182
}

TEST(GradientBands, OneGradationIsTheEndColourEverywhere) {
  EXPECT_EQ(GradientBands(183, 1, kWhite, kGrey),
            (std::vector<TGradientBand>{{0, 183, kGrey}}));
}

TEST(GradientBands, MoreThan256GradationsAre256) {
  auto bands = GradientBands(1000, 1000, TRgb{0, 0, 0}, TRgb{255, 0, 0});
  ASSERT_EQ(bands.size(), 256u);
  EXPECT_EQ(bands[0], (TGradientBand{0, 3, TRgb{0, 0, 0}}));  // 255 * 1 div 256 = 0
  EXPECT_EQ(bands.back().to, 1000);
  EXPECT_EQ(bands.back().color, (TRgb{255, 0, 0}));
}

TEST(GradientBands, BandsOfNoWidthAreLeftOut) {
  // 10 steps over 4 pixels: only the steps that reach a new pixel paint.
  auto bands = GradientBands(4, 10, TRgb{0, 0, 0}, TRgb{100, 100, 100});
  std::vector<TGradientBand> expected{{0, 1, {30, 30, 30}}, {1, 2, {50, 50, 50}},
                                      {2, 3, {80, 80, 80}}, {3, 4, {100, 100, 100}}};
  EXPECT_EQ(bands, expected);
}

TEST(GradientBands, TinyAndNegativeSizesAndCounts) {
  EXPECT_EQ(GradientBands(1, 0, kWhite, kGrey), (std::vector<TGradientBand>{{0, 1, kGrey}}));
  EXPECT_TRUE(GradientBands(0, 0, kWhite, kGrey).empty());
  EXPECT_TRUE(GradientBands(0, 5, kWhite, kGrey).empty());
  EXPECT_TRUE(GradientBands(100, -3, kWhite, kGrey).empty());
}

TEST(GradientBands, AVeryLongGradientDoesNotOverflow) {
  auto bands = GradientBands(30000000, 0, TRgb{0, 0, 0}, TRgb{255, 255, 255});
  ASSERT_EQ(bands.size(), 256u);
  EXPECT_EQ(bands.back().to, 30000000);
  EXPECT_EQ(bands[0].to, 30000000 / 256);
}

}  // namespace
