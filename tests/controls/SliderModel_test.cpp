// The slider's figures and mouse rules (host and Wine).
#include "controls/SliderModel.h"

#include <gtest/gtest.h>

namespace {

// The level slider window's configuration: vertical, 0..100, a 24 by 68 track picture and
// a 24 by 16 holder of one frame.
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
  EXPECT_EQ(m.FrameWidth(), 24);
}

TEST(SliderScale, PositionFiftyPutsTheHolderAt26AndThePointerThereMeansFifty) {
  TSliderModel m = LevelSlider();
  m.SetPosition(50);
  EXPECT_EQ(m.HolderRect(), (TSliderRect{0, 26, 24, 42}));
  EXPECT_EQ(m.PositionAt(26), 50);
  m.SetPosition(100);
  EXPECT_EQ(m.HolderRect(), (TSliderRect{0, 52, 24, 68})) << "the end of the track";
}

TEST(SliderScale, EveryPositionOfTheLevelSliderReadsBackFromItsHoldersEdge) {
  TSliderModel m = LevelSlider();
  // 0.52 pixels per step: two positions may share a pixel, but the pixel where a position
  // is drawn never means a position more than one step away.
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
  EXPECT_EQ(m.FrameWidth(), 10);
  EXPECT_EQ(m.TrackLength(), 100);
  m.SetPosition(25);
  EXPECT_EQ(m.HolderRect(), (TSliderRect{25, 0, 35, 12}));
}

TEST(SliderScale, HalvesRoundToEven) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(2.51), 3);
  TSliderModel m;
  m.SetHolder(true, 10, 10);
  m.SetSize(10, 110);  // track 100 over 0..100: one pixel per step
  m.SetMax(200);       // half a pixel per step
  m.SetPosition(5);    // 2.5 pixels
  EXPECT_EQ(m.HolderRect().Top, 2);
  m.SetPosition(7);  // 3.5 pixels
  EXPECT_EQ(m.HolderRect().Top, 4);
}

TEST(SliderScale, AnEmptyRangeBecomesAHundredStepsAndFramesAtLeastOne) {
  TSliderModel m;
  m.SetMin(40);
  m.SetMax(40);
  EXPECT_EQ(m.Max(), 140);
  m.SetNumImages(0);
  EXPECT_EQ(m.NumImages(), 1);
  m.SetNumImages(-3);
  EXPECT_EQ(m.NumImages(), 1);
}

TEST(SliderScale, PositionsFromCodeAreNotClampedAndRaiseNothing) {
  TSliderModel m = LevelSlider();
  int changes = 0;
  m.OnChange = [&] { ++changes; };
  m.SetPosition(150);
  EXPECT_EQ(m.Position(), 150);
  EXPECT_EQ(m.HolderRect().Top, 78) << "drawn where it says, below the track";
  m.SetPosition(-10);
  EXPECT_EQ(m.HolderRect().Top, -5);
  EXPECT_EQ(changes, 0);
}

TEST(SliderScale, MinIsNotSubtractedSoAPointerBelowItClampsToMin) {
  TSliderModel m;
  m.SetHolder(true, 10, 10);
  m.SetSize(10, 110);  // a 100-pixel track
  m.SetMin(10);
  m.SetMax(20);
  EXPECT_FLOAT_EQ(m.PixelsPerUnit(), 10.0f);
  EXPECT_EQ(m.PositionAt(50), 10) << "pixel 50 means 5, below Min";
  EXPECT_EQ(m.PositionAt(150), 15);
  EXPECT_EQ(m.PositionAt(500), 20);
}

TEST(SliderScale, FramesOfTheStripAndTheDisabledFrame) {
  TSliderModel m;
  m.SetNumImages(4);
  m.SetHolder(true, 64, 16);
  m.SetImageIndex(2);
  EXPECT_EQ(m.SourceRect(), (TSliderRect{32, 0, 48, 16}));
  m.SetDisabledIndex(3);
  EXPECT_EQ(m.ImageIndex(), 2) << "enabled: the disabled frame waits";
  m.SetEnabled(false);
  EXPECT_EQ(m.SourceRect(), (TSliderRect{48, 0, 64, 16}));
  m.SetImageIndex(1);
  m.SetEnabled(true);
  EXPECT_EQ(m.ImageIndex(), 0) << "enabling shows frame 0 whatever was shown before";
  // One frame: the index is not used.
  TSliderModel one;
  one.SetHolder(true, 24, 16);
  one.SetImageIndex(5);
  EXPECT_EQ(one.SourceRect(), (TSliderRect{0, 0, 24, 16}));
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

TEST_F(SliderDrag, OneChangeEventPerChangeOfPositionNotPerMove) {
  m.MouseDown(sbLeft, 5, 30, hint);
  ASSERT_TRUE(m.Dragging());
  m.MouseMove(5, 26);  // still 50
  m.MouseMove(6, 26);
  m.MouseMove(5, 27);  // 51.9 -> 52
  m.MouseMove(5, 27);
  m.MouseMove(5, 13);  // 25
  m.MouseUp(hint);
  EXPECT_EQ(changes, (std::vector<int>{52, 25}));
  EXPECT_FALSE(m.Dragging());
  m.MouseMove(5, 40);
  EXPECT_EQ(changes.size(), 2u) << "no drag after the button is up";
}

TEST_F(SliderDrag, AboveTheTopGivesMinBelowTheTrackGivesMax) {
  m.MouseDown(sbLeft, 5, 30, hint);
  m.MouseMove(5, -40);
  m.MouseMove(5, -80);
  m.MouseMove(5, 60);
  m.MouseMove(5, 400);
  EXPECT_EQ(changes, (std::vector<int>{0, 100}));
}

TEST_F(SliderDrag, ThePointerIsNotOffsetByWhereTheHolderWasGrabbed) {
  m.MouseDown(sbLeft, 5, 41, hint);  // near the holder's bottom edge
  m.MouseMove(5, 42);
  EXPECT_EQ(m.Position(), 81) << "the holder's top jumps to the pointer";
}

TEST_F(SliderDrag, APressOutsideTheHolderDoesNotMoveIt) {
  m.MouseDown(sbLeft, 5, 10, hint);
  EXPECT_FALSE(m.Dragging());
  m.MouseMove(5, 10);
  EXPECT_EQ(m.Position(), 50);
  EXPECT_TRUE(changes.empty());
}

TEST_F(SliderDrag, ARightPressOnTheHolderHidesTheHintButDoesNotDrag) {
  m.MouseDown(sbRight, 5, 30, hint);
  EXPECT_FALSE(m.Dragging());
  EXPECT_EQ(hint, "");
  m.MouseMove(5, 5);
  EXPECT_EQ(m.Position(), 50);
  m.MouseUp(hint);
  EXPECT_EQ(hint, "Drag to set the level");
}

TEST_F(SliderDrag, AHintIsRestoredOnlyWhenItWasPutAside) {
  m.MouseDown(sbLeft, 5, 30, hint);
  m.MouseDown(sbRight, 5, 30, hint);  // a second button while the first is down
  m.MouseUp(hint);
  EXPECT_EQ(hint, "Drag to set the level");
  hint = "changed later";
  m.MouseUp(hint);  // an up without a down, as after a lost capture
  EXPECT_EQ(hint, "changed later");
}

TEST_F(SliderDrag, ADisabledSliderCannotBeDragged) {
  m.SetEnabled(false);
  m.MouseDown(sbLeft, 5, 30, hint);
  EXPECT_FALSE(m.Dragging());
  EXPECT_EQ(hint, "") << "the hint still goes while the button is down";
}

TEST_F(SliderDrag, WithoutAHolderNothingCanBeDragged) {
  TSliderModel bare;
  std::string h;
  bare.MouseDown(sbLeft, 0, 0, h);
  EXPECT_FALSE(bare.Dragging());
}

}  // namespace
