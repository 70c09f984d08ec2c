// The gauge painted into a DIB section and compared pixel by pixel with how it should look.
#include "controls/VolumeGauge.h"

#include <gtest/gtest.h>

#include "toolkit/Forms.h"

namespace {

constexpr TColor kBack = 3423041, kMark = 3591935, kPeak = 11529214;
constexpr TColor kSentinel = RGB(255, 0, 255);
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
    gauge->SetLevel(0);
    FullPaint();
  }
  void FullPaint() {
    TCanvas canvas(bmp.DC());
    gauge->Paint(canvas);
  }
  void Fill(TColor c) {
    TCanvas canvas(bmp.DC());
    canvas.SetBrushColor(c);
    canvas.FillRect(RECT{0, 0, W, H});
  }
};

bool OnOutline(int x, int y, int left, int top, int right, int bottom) {
  if (x < left || x > right || y < top || y > bottom) return false;
  return x == left || x == right || y == top || y == bottom;
}

// How the gauge must look with `lit` columns lit and the peak marker at `peakX`.
TColor Expected(int x, int y, int lit, int peakX) {
  if (peakX != 0 && peakX != 3 && OnOutline(x, y, peakX, 2, peakX + 3, H - 3)) return kPeak;
  if (OnOutline(x, y, 0, 0, 3, H - 1) || OnOutline(x, y, W - 6, 0, W - 3, H - 1)) return kMark;
  if (x >= 6 && x <= 93 && x % 3 == 0) {
    int k = (x - 3) / 3;
    if (k <= lit) return y >= 2 ? kMark : kBack;
    return y >= H - 2 ? kMark : kBack;
  }
  return kBack;
}

void ExpectLook(const TBitmap& bmp, int lit, int peakX) {
  int wrong = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      if (bmp.Pixel(x, y) != Expected(x, y, lit, peakX) && ++wrong <= 5)
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << bmp.Pixel(x, y)
                      << " not " << Expected(x, y, lit, peakX) << std::dec << " (lit " << lit
                      << ", peak at " << peakX << ")";
  EXPECT_EQ(wrong, 0);
}

bool AllSentinel(const TBitmap& bmp) {
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      if (bmp.Pixel(x, y) != kSentinel) return false;
  return true;
}

TEST(VolumeGauge, LitColumnsAndPeakMarkerFollowTheLevel) {
  PanelGauge p;
  ExpectLook(p.bmp, 0, 0);  // level 0: only the ticks
  p.gauge->SetLevel(32766);
  ExpectLook(p.bmp, 28, 87);
  p.gauge->SetLevel(32767);  // full: one column more
  ExpectLook(p.bmp, 30, 90);
  p.FullPaint();
  ExpectLook(p.bmp, 30, 90);
}

TEST(VolumeGauge, InvalidLevelsDrawNothing) {
  PanelGauge p;
  p.gauge->SetLevel(16000);
  p.Fill(kSentinel);
  for (int v : {16000, -1, 32768, INT_MIN, INT_MAX}) {
    p.gauge->SetLevel(v);
    EXPECT_EQ(p.gauge->Level(), 16000) << v;
  }
  EXPECT_TRUE(AllSentinel(p.bmp));
}

TEST(VolumeGauge, NewLevelDrawsWithoutTheBackground) {
  PanelGauge p;
  p.gauge->SetLevel(16000);
  p.Fill(kSentinel);
  p.gauge->SetLevel(8000);
  // Only lines and the marker box are touched: rows 0 and 1 between the marks stay as they were.
  for (int x = 4; x < W - 6; ++x) {
    EXPECT_EQ(p.bmp.Pixel(x, 0), kSentinel) << x;
    EXPECT_EQ(p.bmp.Pixel(x, 1), kSentinel) << x;
  }
}

TEST(VolumeGauge, IncrementalDrawingEndsAsAFullRepaint) {
  PanelGauge p;
  const int levels[] = {30000, 100, 32767, 5000, 20000, 0, 12000, 31000, 1, 2, 3, 4, 5, 6,
                        7, 8, 9, 10, 11, 12, 13, 14};
  for (int v : levels) {
    p.gauge->SetLevel(v);
    TBitmap fresh(W, H);
    {
      TCanvas canvas(fresh.DC());
      p.gauge->Paint(canvas);
    }
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        ASSERT_EQ(p.bmp.Pixel(x, y), fresh.Pixel(x, y)) << "level " << v << " at " << x << "," << y;
  }
}

TEST(VolumeGauge, PeakHeldForTenChangesAndDroppedOnTheEleventh) {
  PanelGauge p;
  p.gauge->SetLevel(30000);  // 26 columns, marker at (26 + 1) * 3
  ExpectLook(p.bmp, 26, 81);
  for (int i = 1; i <= 10; ++i) {
    int v = i % 2 ? 4000 : 5000;  // 3 and 4 columns
    p.gauge->SetLevel(v);
    ExpectLook(p.bmp, v == 4000 ? 3 : 4, 81);
  }
  p.gauge->SetLevel(4000);  // the 11th change
  ExpectLook(p.bmp, 3, 12);
  // A higher level moves the marker up at once.
  p.gauge->SetLevel(20000);
  ExpectLook(p.bmp, 17, 54);
}

TEST(VolumeGauge, NoMarkerAtColumnZero) {
  PanelGauge p;
  p.gauge->SetLevel(500);  // 0 columns: the marker would stand at x = 3
  ExpectLook(p.bmp, 0, 0);
  p.gauge->SetLevel(30000);
  for (int i = 0; i < 11; ++i) p.gauge->SetLevel(i % 2 ? 100 : 200);
  ExpectLook(p.bmp, 0, 0);  // dropped to column 0: erased, none drawn
}

TEST(VolumeGauge, PeakMeterOffDrawsNoMarker) {
  PanelGauge p;
  p.gauge->SetPeakMeter(false);
  p.FullPaint();
  p.gauge->SetLevel(30000);
  ExpectLook(p.bmp, 26, 0);
}

TEST(VolumeGauge, MaxLevelZeroIsNotDrawn) {
  PanelGauge p;
  p.gauge->SetLevel(12000);
  p.Fill(kSentinel);
  p.gauge->SetMaxLevel(0);  // Level stays 12000: no divisor for its proportion
  EXPECT_TRUE(AllSentinel(p.bmp));
  p.gauge->SetLevel(0);  // a valid level now, but the peak still has no divisor
  EXPECT_TRUE(AllSentinel(p.bmp));
  p.FullPaint();  // the background only
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) ASSERT_EQ(p.bmp.Pixel(x, y), kBack);
  p.gauge->SetMaxLevel(32767);
  ExpectLook(p.bmp, 0, 33);  // the peak of 12000 is still held
}

TEST(VolumeGauge, ImageRestoresTheUnlitPart) {
  PanelGauge p;
  TBitmap picture(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      TCanvas c(picture.DC());
      c.SetPixel(x, y, RGB(x * 2, y * 20, 77));
    }
  p.gauge->SetImage(&picture);
  p.FullPaint();
  EXPECT_EQ(p.bmp.Pixel(50, 0), RGB(100, 0, 77));  // background from the picture
  p.gauge->SetLevel(32767);
  EXPECT_EQ(p.bmp.Pixel(51, 4), kMark);
  p.gauge->SetLevel(0);
  // From 3L + 4 to W - 6, rows 0 .. H - 3, the picture is back; ticks on the last two rows.
  for (int x = 4; x < W - 6; ++x)
    for (int y = 0; y < H - 2; ++y) {
      bool marker = OnOutline(x, y, 90, 2, 93, H - 3);  // the peak held at the top
      if (!marker) {
        ASSERT_EQ(p.bmp.Pixel(x, y), RGB(x * 2, y * 20, 77)) << x << "," << y;
      }
    }
  EXPECT_EQ(p.bmp.Pixel(51, H - 1), kMark);
  p.gauge->SetImage(nullptr);
}

TEST(VolumeGauge, DrawsOnItsParentWindowDirectly) {
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
  g->SetLevel(0);  // hidden: nothing drawn
  EXPECT_EQ(GetPixel(dc, 10 + 93, 20 + 4), kMark);
  ReleaseDC(form->Handle(), dc);
}

}  // namespace
