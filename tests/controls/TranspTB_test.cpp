// The toolbar's background: the picture repeated along the top edge, or the toolbar's own.
#include "controls/TranspTB.h"

#include <gtest/gtest.h>

#include "toolkit/Forms.h"

namespace {

TColor PictureColor(int x, int y) { return RGB(x * 2, 40 + y * 5, 90); }

struct ToolbarWithBitmap : ::testing::Test {
  TApplication app;
  TForm* form = app.CreateForm<TForm>();
  TToolbarWithBitmap* bar = Make<TToolbarWithBitmap>(form);
  TBitmap picture{100, 20};
  TBitmap target{250, 30};
  void SetUp() override {
    form->SetBounds(0, 0, 400, 200);
    bar->SetParent(form);
    bar->SetBounds(0, 0, 250, 30);
    form->Handle();  // the form first, as the program creates them
    TCanvas c(picture.DC());
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 100; ++x) c.SetPixel(x, y, PictureColor(x, y));
  }
  // The background erased onto magenta.
  TColor Erased(int x, int y) {
    TCanvas c(target.DC());
    c.SetBrushColor(clFuchsia);
    c.FillRect(RECT{0, 0, 250, 30});
    SendMessageA(bar->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.DC()), 0);
    return target.Pixel(x, y);
  }
};

TEST_F(ToolbarWithBitmap, ThePictureIsRepeatedAlongTheTopEdgeOnlyUntilItIsCleared) {
  const TColor plain = Erased(249, 29);
  bar->SetImage(&picture);
  Erased(0, 0);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 250; ++x)
      ASSERT_EQ(target.Pixel(x, y), y < 20 ? PictureColor(x % 100, y) : clFuchsia)
          << x << "," << y;
  // The toolbar's own painting shows it beside its buttons.
  bar->AddButton("btnOne", -1)->SetCaption("One");
  form->Show();
  app.ProcessMessages();
  RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC dc = GetDC(bar->Handle());
  EXPECT_EQ(GetPixel(dc, 240, 5), PictureColor(40, 5));
  EXPECT_EQ(GetPixel(dc, 160, 15), PictureColor(60, 15));
  ReleaseDC(bar->Handle(), dc);
  bar->SetImage(nullptr);
  EXPECT_EQ(Erased(249, 29), plain);
  EXPECT_NE(Erased(50, 5), PictureColor(50, 5));
}

}  // namespace
