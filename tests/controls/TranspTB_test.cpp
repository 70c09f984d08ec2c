// The toolbar's background: the picture repeated along the top edge, or the toolbar's own.
#include "controls/TranspTB.h"

#include <gtest/gtest.h>

#include "toolkit/Forms.h"

namespace {

constexpr TColor kSentinel = RGB(255, 0, 255);

TColor PictureColor(int x, int y) { return RGB(x * 2, 40 + y * 5, 90); }

struct ToolbarOnForm {
  TApplication app;
  TForm* form = app.CreateForm<TForm>();
  TToolbarWithBitmap* bar = Make<TToolbarWithBitmap>(form);
  TBitmap picture{100, 20};
  TBitmap target{250, 30};
  ToolbarOnForm() {
    form->SetBounds(0, 0, 400, 200);
    bar->SetParent(form);
    bar->SetBounds(0, 0, 250, 30);
    form->Handle();
    TCanvas c(picture.DC());
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 100; ++x) c.SetPixel(x, y, PictureColor(x, y));
  }
  LRESULT Erase() {
    TCanvas c(target.DC());
    c.SetBrushColor(kSentinel);
    c.FillRect(RECT{0, 0, 250, 30});
    return SendMessageA(bar->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.DC()), 0);
  }
};

TEST(ToolbarWithBitmap, PictureIsRepeatedAlongTheTopEdgeOnly) {
  ToolbarOnForm t;
  t.bar->SetImage(&t.picture);
  EXPECT_EQ(t.Erase(), 1);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 250; ++x)
      ASSERT_EQ(t.target.Pixel(x, y), y < 20 ? PictureColor(x % 100, y) : kSentinel)
          << x << "," << y;
  EXPECT_TRUE(GetWindowLongA(t.bar->Handle(), GWL_STYLE) & TBSTYLE_TRANSPARENT);
}

TEST(ToolbarWithBitmap, WiderPictureIsDrawnOnceAndClipped) {
  ToolbarOnForm t;
  TBitmap wide(477, 51);
  {
    TCanvas c(wide.DC());
    c.SetBrushColor(clRed);
    c.FillRect(RECT{0, 0, 477, 51});
  }
  t.bar->SetImage(&wide);
  EXPECT_EQ(t.Erase(), 1);
  EXPECT_EQ(t.target.Pixel(0, 0), clRed);
  EXPECT_EQ(t.target.Pixel(249, 29), clRed);
}

TEST(ToolbarWithBitmap, WithoutAUsablePictureTheOrdinaryBackgroundIsDrawn) {
  ToolbarOnForm plain;
  plain.Erase();
  TBitmap empty;
  for (const char* why : {"cleared", "empty", "not flat"}) {
    SCOPED_TRACE(why);
    ToolbarOnForm t;
    t.bar->SetImage(&t.picture);
    t.Erase();
    if (why[0] == 'c') t.bar->SetImage(nullptr);
    if (why[0] == 'e') t.bar->SetImage(&empty);
    if (why[0] == 'n') t.bar->SetFlat(false);
    t.Erase();
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 250; ++x)
        ASSERT_EQ(t.target.Pixel(x, y), plain.target.Pixel(x, y)) << x << "," << y;
  }
}

TEST(ToolbarWithBitmap, PictureShowsInTheToolbarsOwnPainting) {
  ToolbarOnForm t;
  t.bar->SetImage(&t.picture);
  t.bar->AddButton("btnOne", -1)->SetCaption("One");
  t.form->Show();
  t.app.ProcessMessages();
  RedrawWindow(t.bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  t.app.ProcessMessages();
  HDC dc = GetDC(t.bar->Handle());
  // Right of the button, where only the background shows.
  EXPECT_EQ(GetPixel(dc, 240, 5), PictureColor(40, 5));
  EXPECT_EQ(GetPixel(dc, 160, 15), PictureColor(60, 15));
  ReleaseDC(t.bar->Handle(), dc);
}

}  // namespace
