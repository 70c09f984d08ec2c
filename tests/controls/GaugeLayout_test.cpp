#include "controls/GaugeLayout.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(GaugeColumns, CountAndPlaceFollowTheWidth) {
  EXPECT_EQ(GaugeLastColumn(101), 29);  // the recorder panel: 30 columns
  EXPECT_EQ(GaugeColumnX(1), 6);
  EXPECT_EQ(GaugeColumnX(30), 93);      // left of the right end mark at 95
  EXPECT_EQ(GaugeLastColumn(200), 62);
  EXPECT_EQ(GaugeLastColumn(12), 0);    // one column
  EXPECT_EQ(GaugeLastColumn(11), -1);   // none
  EXPECT_EQ(GaugeLastColumn(0), -1);
  EXPECT_EQ(GaugeLastColumn(-50), -1);
}

TEST(GaugeColumns, FullLevelLightsOneColumnMore) {
  EXPECT_EQ(GaugeLitColumns(32767, 32767, 29), 30);
  EXPECT_EQ(GaugeLitColumns(32766, 32767, 29), 28);  // truncated, not rounded
  EXPECT_EQ(GaugeLitColumns(16384, 32767, 29), 14);
  EXPECT_EQ(GaugeLitColumns(0, 32767, 29), 0);
  EXPECT_EQ(GaugeLitColumns(10, 10, -1), 0);  // no columns to light
}

TEST(GaugeColumns, OutOfRangeStaysWithinTheGauge) {
  // A maximum lowered below the level must not light columns past the end mark.
  EXPECT_EQ(GaugeLitColumns(40, 10, 29), 30);
  EXPECT_EQ(GaugeLitColumns(-5, 10, 29), 0);
  // No divisor: nothing lit, no division.
  EXPECT_EQ(GaugeLitColumns(4, 0, 29), 0);
  EXPECT_EQ(GaugeLitColumns(0, 0, 29), 0);
  EXPECT_EQ(GaugeLitColumns(4, -10, 29), 0);
  // Products beyond 32 bits.
  EXPECT_EQ(GaugeLitColumns(INT_MAX - 1, INT_MAX, 62), 61);
  EXPECT_EQ(GaugePeakX(INT_MAX - 1, INT_MAX, 62), 62 * 3);
}

TEST(GaugePeak, MarkerPlace) {
  EXPECT_EQ(GaugePeakX(0, 32767, 29), 3);  // column 0: the control draws no marker there
  EXPECT_EQ(GaugePeakX(32767, 32767, 29), 90);
  EXPECT_EQ(GaugePeakX(30000, 32767, 29), 81);
  EXPECT_EQ(GaugePeakX(99999, 32767, 29), 90);  // above the maximum: at the top
  EXPECT_EQ(GaugePeakX(5, 0, 29), 0);
  EXPECT_EQ(GaugePeakX(5, 10, -1), 0);
}

TEST(GaugePeak, HeldForFreqChangesAndDroppedOnTheNext) {
  TGaugePeak p;
  p.Advance(30000, 10);
  EXPECT_EQ(p.Level, 30000);
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

TEST(GaugePeak, FreqZeroFollowsEveryChangeAndHugeFreqDoesNotOverflow) {
  TGaugePeak p;
  p.Advance(100, 0);
  p.Advance(50, 0);
  EXPECT_EQ(p.Level, 50);
  TGaugePeak q;
  q.Advance(100, INT_MAX);
  q.Count = INT_MAX - 1;
  q.Advance(1, INT_MAX);
  q.Advance(1, INT_MAX);
  EXPECT_EQ(q.Count, INT_MAX);
  EXPECT_EQ(q.Level, 100);
}

}  // namespace
