// The recorder panel's gauge in a DIB; its figures are GaugeLayout_test's, on the host.
#include "controls/VolumeGauge.h"

#include <gtest/gtest.h>

#include "toolkit/Controls.h"

namespace {

constexpr TColor kBack = 3423041, kMark = 3591935, kPeak = 11529214;
constexpr int W = 101, H = 9;

bool OnOutline(int x, int y, int left, int top, int right, int bottom) {
  if (x < left || x > right || y < top || y > bottom) return false;
  return x == left || x == right || y == top || y == bottom;
}

// How the gauge must look with `lit` columns lit and the peak marker at `peakX` (0: none).
TColor Expected(int x, int y, int lit, int peakX) {
  if (peakX != 0 && OnOutline(x, y, peakX, 2, peakX + 3, H - 3)) return kPeak;
  if (OnOutline(x, y, 0, 0, 3, H - 1) || OnOutline(x, y, W - 6, 0, W - 3, H - 1)) return kMark;
  if (x >= 6 && x <= 93 && x % 3 == 0) {
    if ((x - 3) / 3 <= lit) return y >= 2 ? kMark : kBack;
    return y >= H - 2 ? kMark : kBack;
  }
  return kBack;
}

TEST(VolumeGauge, ColumnsAndAPeakMarkerHeldForPeakFreqChangesDrawnAtEachChange) {
  TComponent root{nullptr};
  TVolumeGauge* gauge = Make<TVolumeGauge>(&root);
  TBitmap bmp{W, H};
  gauge->DrawTarget = bmp.DC();
  gauge->SetBounds(0, 0, W, H);
  gauge->SetMaxLevel(32767);
  gauge->SetColor(kBack);
  gauge->SetMarkColor(kMark);
  gauge->SetPeakColor(kPeak);
  gauge->SetPeakMeter(true);
  gauge->PeakFreq = 10;
  {
    TCanvas canvas(bmp.DC());
    gauge->Paint(canvas);
  }
  const struct {
    int level, lit, peakX;  // peakX 0: no marker
  } steps[] = {{0, 0, 0},       {32766, 28, 87},  {32767, 30, 90},  // full: one column more
               {100, 0, 90},    {200, 0, 90},     {100, 0, 90},     {200, 0, 90},
               {100, 0, 90},    {200, 0, 90},     {100, 0, 90},     {200, 0, 90},
               {100, 0, 90},    {200, 0, 90},     {100, 0, 0},      // the 11th drops it to 0
               {-1, 0, 0},      {32768, 0, 0},    {20000, 17, 54}}; // invalid levels ignored
  for (const auto& s : steps) {
    gauge->SetLevel(s.level);
    int wrong = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (bmp.Pixel(x, y) != Expected(x, y, s.lit, s.peakX) && ++wrong <= 3)
          ADD_FAILURE() << "level " << s.level << ": pixel " << x << "," << y << " is "
                        << std::hex << bmp.Pixel(x, y);
    ASSERT_EQ(wrong, 0) << "level " << s.level;
  }
}

}  // namespace
