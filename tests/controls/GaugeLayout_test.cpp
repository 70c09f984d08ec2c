#include "controls/GaugeLayout.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(GaugeColumns, CountFollowsTheWidth) {
  // 101 is the recorder panel's gauge: 30 columns, the last at x 93 left of the end mark.
  for (auto [width, last] : {std::pair{101, 29}, {200, 62}, {12, 0}, {11, -1}, {0, -1}, {-50, -1}})
    EXPECT_EQ(GaugeLastColumn(width), last) << width;
  EXPECT_EQ(GaugeColumnX(30), 93);
}

TEST(GaugeColumns, LitColumnsAndPeakPlace) {
  const struct {
    int level, max, last, lit, peakX;
  } cases[] = {
      {32767, 32767, 29, 30, 90},  // full: one column more
      {32766, 32767, 29, 28, 87},  // truncated, not rounded
      {16384, 32767, 29, 14, 45},
      {0, 32767, 29, 0, 3},        // column 0: the control draws no marker there
      {40, 10, 29, 30, 90},        // a maximum lowered below the level stays within the gauge
      {-5, 10, 29, 0, 3},
      {4, 0, 29, 0, 0},            // no divisor: nothing lit, no division
      {4, -10, 29, 0, 0},
      {10, 10, -1, 0, 0},          // no columns
      {INT_MAX - 1, INT_MAX, 62, 61, 186},  // products beyond 32 bits
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.level << " of " << c.max << ", last " << c.last);
    EXPECT_EQ(GaugeLitColumns(c.level, c.max, c.last), c.lit);
    EXPECT_EQ(GaugePeakX(c.level, c.max, c.last), c.peakX);
  }
}

TEST(GaugePeak, HeldForFreqChangesAndDroppedOnTheNext) {
  TGaugePeak p;
  p.Advance(30000, 10);
  for (int i = 1; i <= 10; ++i) {
    p.Advance(i % 2 ? 1000 : 2000, 10);
    EXPECT_EQ(p.Level, 30000) << i;
  }
  p.Advance(1000, 10);  // the 11th
  EXPECT_EQ(p.Level, 1000);
  EXPECT_EQ(p.Count, 0);
  // A higher level moves it up at once and restarts the count.
  p.Advance(500, 10);
  p.Advance(5000, 10);
  EXPECT_EQ(p.Level, 5000);
  EXPECT_EQ(p.Count, 0);
}

}  // namespace
