// The main window's level indicators drawn into a DIB from the program's own pictures:
// level 0 lights the picture's whole lime shape, 15 leaves its top 15 rows grey.
#include "audio/LevelBar.h"

#include <gtest/gtest.h>

#include "toolkit/Controls.h"

namespace {

struct Indicator : ::testing::TestWithParam<const char*> {
  TBitmap picture;
  void SetUp() override {
    ASSERT_TRUE(picture.LoadFromResourceName(ModuleInstance(), GetParam()));
    ASSERT_EQ(picture.Height(), 16);
  }
  std::unique_ptr<TBitmap> Draw(int level) {
    auto dib = std::make_unique<TBitmap>(picture.Width(), picture.Height());
    DrawLevelBar(dib->DC(), picture.Width(), picture.Height(), level, picture);
    GdiFlush();
    return dib;
  }
  // Lime pixels of the picture per row.
  int LimeInRow(int y) {
    int n = 0;
    for (int x = 0; x < picture.Width(); ++x) n += picture.Pixel(x, y) == clLime;
    return n;
  }
};

TEST_P(Indicator, PictureHasALimeShapeInEveryRow) {
  for (int y = 0; y < 16; ++y) EXPECT_GT(LimeInRow(y), 0) << y;
}

TEST_P(Indicator, LevelZeroLightsTheWholeShape) {
  auto dib = Draw(0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const TColor p = picture.Pixel(x, y);
      EXPECT_EQ(dib->Pixel(x, y), p == clLime ? kLevelBarLit : p) << x << "," << y;
    }
}

TEST_P(Indicator, LevelFifteenLeavesFifteenRowsGrey) {
  auto dib = Draw(15);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const TColor p = picture.Pixel(x, y);
      const TColor want = p != clLime ? p : y < 15 ? kLevelBarGrey : kLevelBarLit;
      EXPECT_EQ(dib->Pixel(x, y), want) << x << "," << y;
    }
}

TEST_P(Indicator, EachStepDimsOneRow) {
  for (int level = 0; level <= 15; ++level) {
    auto dib = Draw(level);
    int greyRows = 0;
    for (int y = 0; y < 16; ++y) {
      bool grey = false;
      for (int x = 0; x < picture.Width(); ++x)
        grey = grey || dib->Pixel(x, y) == kLevelBarGrey;
      greyRows += grey;
    }
    EXPECT_EQ(greyRows, level);
  }
}

INSTANTIATE_TEST_SUITE_P(Pictures, Indicator,
                         ::testing::Values("IMG_LEVELVOLUME", "IMG_LEVELMIC"));

TEST(LevelBar, DrawsOnlyTheGivenPartOfABiggerPicture) {
  TBitmap picture(40, 40);
  {
    TCanvas c(picture.DC());
    c.SetBrushColor(clBlue);
    c.FillRect(RECT{0, 0, 40, 40});
    c.SetBrushColor(clLime);
    c.FillRect(RECT{10, 10, 15, 30});
  }
  TBitmap dib(5, 20);
  DrawLevelBar(dib.DC(), 5, 20, 8, picture, 10, 10);
  GdiFlush();
  EXPECT_EQ(dib.Pixel(0, 0), kLevelBarGrey);
  EXPECT_EQ(dib.Pixel(4, 7), kLevelBarGrey);
  EXPECT_EQ(dib.Pixel(0, 8), kLevelBarLit);
  EXPECT_EQ(dib.Pixel(4, 19), kLevelBarLit);
  TBitmap shifted(5, 20);
  DrawLevelBar(shifted.DC(), 5, 20, 8, picture, 8, 10);
  GdiFlush();
  EXPECT_EQ(shifted.Pixel(0, 0), clBlue);
  EXPECT_EQ(shifted.Pixel(1, 0), clBlue);
  EXPECT_EQ(shifted.Pixel(2, 0), kLevelBarGrey);
}

}  // namespace
