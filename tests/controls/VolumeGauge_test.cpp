// The gauge painted into a DIB section; its figures are GaugeLayout's, tested on the host.
#include "controls/VolumeGauge.h"

#include <gtest/gtest.h>

#include "toolkit/Forms.h"

namespace {

constexpr TColor kBack = 3423041, kMark = 3591935, kPeak = 11529214, kSentinel = RGB(255, 0, 255);
constexpr int W = 101, H = 9;

// The recorder panel's gauge, drawing into a picture of its own size.
struct PanelGauge {
  TComponent root{nullptr};
  TVolumeGauge* gauge = Make<TVolumeGauge>(&root);
  TBitmap bmp{W, H};
  PanelGauge() {
    gauge->DrawTarget = bmp.DC();
    gauge->SetBounds(0, 0, W, H);
    gauge->SetMaxLevel(32767);
    gauge->SetColor(kBack);
    gauge->SetMarkColor(kMark);
    gauge->SetPeakColor(kPeak);
    gauge->SetPeakMeter(true);
    gauge->PeakFreq = 10;
    Paint(bmp);
  }
  void Paint(TBitmap& into) {
    TCanvas canvas(into.DC());
    gauge->Paint(canvas);
  }
  void Fill(TColor c) {
    TCanvas canvas(bmp.DC());
    canvas.SetBrushColor(c);
    canvas.FillRect(RECT{0, 0, W, H});
  }
  bool All(TColor c) const {
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (bmp.Pixel(x, y) != c) return false;
    return true;
  }
};

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

void ExpectLook(const TBitmap& bmp, int lit, int peakX) {
  int wrong = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      if (bmp.Pixel(x, y) != Expected(x, y, lit, peakX) && ++wrong <= 3)
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << bmp.Pixel(x, y)
                      << " (lit " << std::dec << lit << ", peak at " << peakX << ")";
  EXPECT_EQ(wrong, 0);
}

TEST(VolumeGauge, ColumnsAndAPeakMarkerHeldForPeakFreqChanges) {
  PanelGauge p;
  ExpectLook(p.bmp, 0, 0);
  p.gauge->SetLevel(32766);
  ExpectLook(p.bmp, 28, 87);
  p.gauge->SetLevel(32767);  // full: one column more
  ExpectLook(p.bmp, 30, 90);
  for (int i = 1; i <= 10; ++i) {
    p.gauge->SetLevel(i % 2 ? 4000 : 5000);
    ExpectLook(p.bmp, i % 2 ? 3 : 4, 90);
  }
  p.gauge->SetLevel(4000);  // the 11th change drops the marker
  ExpectLook(p.bmp, 3, 12);
  p.gauge->SetLevel(20000);
  ExpectLook(p.bmp, 17, 54);
  p.Paint(p.bmp);
  ExpectLook(p.bmp, 17, 54);
  // Dropped to column 0: the old marker erased, none drawn at x 3.
  for (int i = 0; i < 11; ++i) p.gauge->SetLevel(i % 2 ? 100 : 200);
  ExpectLook(p.bmp, 0, 0);
}

TEST(VolumeGauge, InvalidLevelsDrawNothing) {
  PanelGauge p;
  p.gauge->SetLevel(16000);
  p.Fill(kSentinel);
  for (int v : {16000, -1, 32768, INT_MIN, INT_MAX}) {
    p.gauge->SetLevel(v);
    EXPECT_EQ(p.gauge->Level(), 16000) << v;
  }
  EXPECT_TRUE(p.All(kSentinel));
}

TEST(VolumeGauge, NewLevelDrawsWithoutTheBackground) {
  PanelGauge p;
  p.gauge->SetLevel(16000);
  p.Fill(kSentinel);
  p.gauge->SetLevel(8000);
  // Only lines and the marker box are touched: rows 0 and 1 between the marks stay as they were.
  for (int x = 4; x < W - 6; ++x)
    for (int y : {0, 1}) EXPECT_EQ(p.bmp.Pixel(x, y), kSentinel) << x << "," << y;
}

TEST(VolumeGauge, PeakMeterOffDrawsNoMarker) {
  PanelGauge p;
  p.gauge->SetPeakMeter(false);
  p.Paint(p.bmp);
  p.gauge->SetLevel(30000);
  ExpectLook(p.bmp, 26, 0);
}

TEST(VolumeGauge, MaxLevelZeroIsNotDrawn) {
  PanelGauge p;
  p.gauge->SetLevel(12000);
  p.Fill(kSentinel);
  p.gauge->SetMaxLevel(0);
  p.gauge->SetLevel(0);
  EXPECT_TRUE(p.All(kSentinel));
  p.Paint(p.bmp);
  EXPECT_TRUE(p.All(kBack)) << "the background only";
  p.gauge->SetMaxLevel(32767);
  ExpectLook(p.bmp, 0, 33);  // the peak of 12000 is still held
}

TEST(VolumeGauge, ImageRestoresTheUnlitPart) {
  PanelGauge p;
  TBitmap picture(W, H);
  {
    TCanvas c(picture.DC());
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) c.SetPixel(x, y, RGB(x * 2, y * 20, 77));
  }
  p.gauge->SetImage(&picture);
  p.Paint(p.bmp);
  EXPECT_EQ(p.bmp.Pixel(50, 0), RGB(100, 0, 77));
  p.gauge->SetLevel(32767);
  EXPECT_EQ(p.bmp.Pixel(51, 4), kMark);
  p.gauge->SetLevel(0);
  // Right of the lit part, above the ticks, the picture is back (but for the held marker).
  for (int x = 4; x < W - 6; ++x)
    for (int y = 0; y < H - 2; ++y) {
      if (OnOutline(x, y, 90, 2, 93, H - 3)) continue;
      ASSERT_EQ(p.bmp.Pixel(x, y), RGB(x * 2, y * 20, 77)) << x << "," << y;
    }
  EXPECT_EQ(p.bmp.Pixel(51, H - 1), kMark);
  p.gauge->SetImage(nullptr);
}

TEST(VolumeGauge, DrawsOnItsParentWindowDirectlyWhileVisible) {
  TApplication app;
  TForm* form = app.CreateForm<TForm>();
  form->SetBounds(0, 0, 200, 100);
  auto* g = Make<TVolumeGauge>(form);
  g->SetParent(form);
  g->SetBounds(10, 20, W, H);
  g->SetMaxLevel(32767);
  g->SetColor(kBack);
  g->SetMarkColor(kMark);
  form->Show();
  app.ProcessMessages();
  g->SetLevel(32767);  // without a repaint of the form
  HDC dc = GetDC(form->Handle());
  EXPECT_EQ(GetPixel(dc, 10 + 93, 20 + 4), kMark);
  EXPECT_EQ(GetPixel(dc, 10 + 94, 20 + 4), kBack);
  g->SetVisible(false);
  g->SetLevel(0);
  EXPECT_EQ(GetPixel(dc, 10 + 93, 20 + 4), kMark);
  ReleaseDC(form->Handle(), dc);
}

}  // namespace
