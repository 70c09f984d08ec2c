// The slider's figures and mouse rules; the program's slider is the level slider window's.
#include "controls/SliderModel.h"

#include <gtest/gtest.h>

namespace {

// The level slider window's: vertical, 0..100, a 24 by 68 track, a 24 by 16 holder.
TSliderModel LevelSlider() {
  TSliderModel m;
  m.SetHolder(true, 24, 16);
  m.SetBackground(true, 24, 68);
  return m;
}

TEST(SliderScale, TheLevelSliderTakesItsPictureSizeAndScale) {
  TSliderModel m = LevelSlider();
  EXPECT_EQ(m.Width(), 24);
  EXPECT_EQ(m.Height(), 68);
  EXPECT_EQ(m.TrackLength(), 52);
  EXPECT_FLOAT_EQ(m.PixelsPerUnit(), 0.52f);
  m.SetPosition(50);
  EXPECT_EQ(m.HolderRect(), (TSliderRect{0, 26, 24, 42}));
  m.SetPosition(100);
  EXPECT_EQ(m.HolderRect(), (TSliderRect{0, 52, 24, 68})) << "the end of the track";
  // Two positions may share a pixel, but where one is drawn never means one a step further.
  for (int p = 0; p <= 100; ++p) {
    m.SetPosition(p);
    EXPECT_LE(std::abs(m.PositionAt(m.HolderRect().Top) - p), 1) << p;
  }
}

TEST(SliderScale, HorizontalSlidersSubtractTheFrameWidthAndMoveRight) {
  TSliderModel m;
  m.SetStyle(ssHorizontal);
  m.SetNumImages(3);
  m.SetHolder(true, 30, 12);  // three frames of 10
  m.SetSize(110, 12);
  EXPECT_EQ(m.TrackLength(), 100);
  m.SetPosition(25);
  EXPECT_EQ(m.HolderRect(), (TSliderRect{25, 0, 35, 12}));
}

TEST(SliderScale, AnEmptyRangeBecomesAHundredSteps) {
  TSliderModel m;
  m.SetMin(40);
  m.SetMax(40);
  EXPECT_EQ(m.Max(), 140);
}

struct SliderDrag : ::testing::Test {
  TSliderModel m = LevelSlider();
  std::string hint = "Drag to set the level";
  std::vector<int> changes;
  void SetUp() override {
    m.SetPosition(50);  // holder 26..42
    m.OnChange = [this] { changes.push_back(m.Position()); };
  }
};

TEST_F(SliderDrag, OneChangePerPositionFromMinAboveToMaxBelow) {
  m.MouseDown(sbLeft, 5, 41, hint);  // near the holder's bottom edge
  ASSERT_TRUE(m.Dragging());
  for (auto [x, y] : {std::pair{5, 42}, {5, 26}, {6, 26}, {5, 27}, {5, 27}, {5, 13}, {5, -40},
                      {5, -80}, {5, 60}, {5, 400}})
    m.MouseMove(x, y);
  m.MouseUp(hint);
  // The holder's top goes to the pointer wherever it was grabbed; 27 is 51.9.
  EXPECT_EQ(changes, (std::vector<int>{81, 50, 52, 25, 0, 100}));
  EXPECT_FALSE(m.Dragging());
  m.MouseMove(5, 40);
  EXPECT_EQ(changes.size(), 6u) << "no drag after the button is up";
}

TEST_F(SliderDrag, NoDragOutsideTheHolderWithTheRightButtonOrDisabled) {
  for (const char* why : {"outside", "right button", "disabled"}) {
    SCOPED_TRACE(why);
    m.SetEnabled(why[0] != 'd');
    m.MouseDown(why[0] == 'r' ? sbRight : sbLeft, 5, why[0] == 'o' ? 10 : 30, hint);
    EXPECT_FALSE(m.Dragging());
    EXPECT_EQ(hint, "") << "the hint goes while a button is down";
    m.MouseMove(5, 5);
    m.MouseUp(hint);
    EXPECT_EQ(hint, "Drag to set the level");
  }
  EXPECT_TRUE(changes.empty());
}

}  // namespace
