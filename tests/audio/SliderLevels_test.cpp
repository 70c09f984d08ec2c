// The level slider window's conversions between mixer levels, indicator steps and slider
// positions, on the host.
#include "audio/SliderLevels.h"

#include <gtest/gtest.h>

namespace {

TEST(UnlitSteps, FullLevelLightsEveryStepAndSilenceNone) {
  EXPECT_EQ(UnlitSteps(65535), 0);
  EXPECT_EQ(UnlitSteps(0), 15);
}

TEST(UnlitSteps, StepBoundaryLiesBetween4368And4369) {
  EXPECT_EQ(UnlitSteps(4368), 15);
  EXPECT_EQ(UnlitSteps(4369), 14);
  EXPECT_EQ(UnlitSteps(65534), 1);
  EXPECT_EQ(UnlitSteps(32767), 8);
}

TEST(UnlitSteps, LevelsBeyondTheCommonRangeCountAsFull) {
  EXPECT_EQ(UnlitSteps(65536), 0);
  EXPECT_EQ(UnlitSteps(0xFFFFFFFFu), 0);
}

TEST(SliderPosition, TopOfTheSliderIsTheLoudest) {
  EXPECT_EQ(SliderPositionOfLevel(65535, 100), 0);
  EXPECT_EQ(SliderPositionOfLevel(0, 100), 100);
  EXPECT_EQ(SliderPositionOfLevel(32767, 100), 51);
  EXPECT_EQ(SliderPositionOfLevel(32768, 100), 50);
  EXPECT_EQ(SliderPositionOfLevel(0xFFFFFFFFu, 100), 0);
}

TEST(SliderPosition, WritesTheLevelOfThePositionAndReadsBackOneLowerInTheMiddle) {
  EXPECT_EQ(LevelOfSliderPosition(0, 100), 65535u);
  EXPECT_EQ(LevelOfSliderPosition(100, 100), 0u);
  EXPECT_EQ(LevelOfSliderPosition(50, 100), 32767u);
  EXPECT_EQ(SliderPositionOfLevel(LevelOfSliderPosition(50, 100), 100), 51);
  // The ends survive the round trip.
  for (int p : {0, 100})
    EXPECT_EQ(SliderPositionOfLevel(LevelOfSliderPosition(p, 100), 100), p);
}

TEST(SliderPosition, EveryPositionReadsBackWithinOne) {
  for (int p = 0; p <= 100; ++p) {
    int back = SliderPositionOfLevel(LevelOfSliderPosition(p, 100), 100);
    EXPECT_GE(back, p) << p;
    EXPECT_LE(back, p + 1) << p;
  }
}

TEST(SliderPosition, PositionsOutsideTheRangeWriteTheNearestEnd) {
  EXPECT_EQ(LevelOfSliderPosition(101, 100), 0u);
  EXPECT_EQ(LevelOfSliderPosition(-3, 100), 65535u);
}

TEST(SliderPosition, NoMaximumMeansNoDivision) {
  EXPECT_EQ(LevelOfSliderPosition(0, 0), 0u);
  EXPECT_EQ(SliderPositionOfLevel(65535, 0), 0);
}

TEST(LevelBar, LitPartBeginsAtTheSlidersShareOfItsHeight) {
  EXPECT_EQ(LevelBarTop(68, 0), 0);
  EXPECT_EQ(LevelBarTop(68, 100), 68);
  EXPECT_EQ(LevelBarTop(68, 50), 34);
  EXPECT_EQ(LevelBarTop(68, 51), 35);  // 34.68
  EXPECT_EQ(LevelBarTop(68, 1), 1);    // 0.68
  EXPECT_EQ(LevelBarTop(50, 1), 0);    // 0.5: halves go to even
  EXPECT_EQ(LevelBarTop(50, 3), 2);    // 1.5
}

}  // namespace
