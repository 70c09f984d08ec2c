// The main window's level indicators drawn into a DIB from the program's own pictures:
// level L leaves the top L rows of the picture's lime shape grey and lights the rest.
#include "audio/LevelBar.h"

#include <gtest/gtest.h>

#include "toolkit/Controls.h"

namespace {

TEST(LevelBar, EachLevelDimsItsRowsOfTheLimeShape) {
  for (const char* name : {"IMG_LEVELVOLUME", "IMG_LEVELMIC"}) {
    SCOPED_TRACE(name);
    TBitmap picture;
    ASSERT_TRUE(picture.LoadFromResourceName(ModuleInstance(), name));
    ASSERT_EQ(picture.Height(), 16);
    const int w = picture.Width();
    for (int level : {0, 1, 8, 15}) {
      TBitmap dib(w, 16);
      DrawLevelBar(dib.DC(), w, 16, level, picture);
      GdiFlush();
      for (int y = 0; y < 16; ++y) {
        int lime = 0;
        for (int x = 0; x < w; ++x) {
          const TColor p = picture.Pixel(x, y);
          lime += p == clLime;
          const TColor want = p != clLime ? p : y < level ? kLevelBarGrey : kLevelBarLit;
          ASSERT_EQ(dib.Pixel(x, y), want) << "level " << level << " at " << x << "," << y;
        }
        ASSERT_GT(lime, 0) << "row " << y << " of the picture has no lime";
      }
    }
  }
}

TEST(LevelBar, DrawsOnlyTheGivenPartOfABiggerPicture) {
  TBitmap picture(40, 40);
  {
    TCanvas c(picture.DC());
    c.SetBrushColor(clBlue);
    c.FillRect(RECT{0, 0, 40, 40});
    c.SetBrushColor(clLime);
    c.FillRect(RECT{10, 10, 15, 30});
  }
  TBitmap dib(5, 20), shifted(5, 20);
  DrawLevelBar(dib.DC(), 5, 20, 8, picture, 10, 10);
  DrawLevelBar(shifted.DC(), 5, 20, 8, picture, 8, 10);
  GdiFlush();
  EXPECT_EQ(dib.Pixel(0, 0), kLevelBarGrey);
  EXPECT_EQ(dib.Pixel(4, 7), kLevelBarGrey);
  EXPECT_EQ(dib.Pixel(0, 8), kLevelBarLit);
  EXPECT_EQ(dib.Pixel(4, 19), kLevelBarLit);
  EXPECT_EQ(shifted.Pixel(1, 0), clBlue);
  EXPECT_EQ(shifted.Pixel(2, 0), kLevelBarGrey);
}

}  // namespace
