// The level slider window's conversions between mixer levels, indicator steps and slider
// positions.
#include "audio/SliderLevels.h"

#include <gtest/gtest.h>

namespace {

TEST(UnlitSteps, FifteenStepsOfTheLevelAndAboveTheRangeIsFull) {
  for (auto [level, steps] : {std::pair{65535u, 0}, {0u, 15}, {4368u, 15}, {4369u, 14},
                              {65534u, 1}, {32767u, 8}, {65536u, 0}, {0xFFFFFFFFu, 0}})
    EXPECT_EQ(UnlitSteps(level), steps) << level;
}

TEST(SliderPosition, TopIsTheLoudestAndTheMiddleReadsBackOneLower) {
  for (auto [level, pos] : {std::pair{65535u, 0}, {0u, 100}, {32767u, 51}, {32768u, 50},
                            {0xFFFFFFFFu, 0}})
    EXPECT_EQ(SliderPositionOfLevel(level, 100), pos) << level;
  for (auto [pos, level] : {std::pair{0, 65535u}, {100, 0u}, {50, 32767u}, {101, 0u},
                            {-3, 65535u}})
    EXPECT_EQ(LevelOfSliderPosition(pos, 100), level) << pos;
  for (int p = 0; p <= 100; ++p) {
    int back = SliderPositionOfLevel(LevelOfSliderPosition(p, 100), 100);
    EXPECT_TRUE(back == p || back == p + 1) << p << " reads back as " << back;
  }
  EXPECT_EQ(LevelOfSliderPosition(0, 0), 0u) << "no maximum, no division";
  EXPECT_EQ(SliderPositionOfLevel(65535, 0), 0);
  EXPECT_EQ(LevelOfSliderPosition(0, 1), 65535u) << "a maximum of one is a slider";
  EXPECT_EQ(SliderPositionOfLevel(0, 1), 1);
}

TEST(LevelBar, LitPartBeginsAtTheSlidersShareOfItsHeight) {
  // Halves go to even: 0.5 is 0, 1.5 is 2.
  for (auto [height, pos, top] : {std::tuple{68, 0, 0}, {68, 100, 68}, {68, 50, 34},
                                  {68, 51, 35}, {68, 1, 1}, {50, 1, 0}, {50, 3, 2}})
    EXPECT_EQ(LevelBarTop(height, pos), top) << height << " " << pos;
}

}  // namespace
