// The bitmap slider as a window under Wine: its pictures composed, mouse messages, cursor.
// The scale and drag rules are SliderModel_test's.
#include "controls/Slider.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "toolkit/Forms.h"
#include "toolkit/Screen.h"

namespace {

constexpr TColor Track = RGB(0, 0, 128), Groove = RGB(40, 40, 40), Body = RGB(200, 30, 30),
                 Edge = RGB(0, 128, 0);

void Fill(TBitmap& b, int l, int t, int r, int bottom, TColor c) {
  TCanvas canvas(b.DC());
  canvas.SetBrushColor(c);
  canvas.FillRect(RECT{l, t, r, bottom});
}

struct SliderWindow : ::testing::Test {
  TApplication app;
  TForm* form = nullptr;
  TSlider* slider = nullptr;
  std::vector<int> changes;

  void SetUp() override {
    form = app.CreateForm<TForm>();
    form->BorderStyle = bsNone;
    form->SetBounds(100, 100, 120, 120);
    // A 24 by 68 track with a groove; a 24 by 16 holder whose lime border is see-through.
    auto* bkg = Make<TImage>(form);
    bkg->Picture().SetSize(24, 68);
    Fill(bkg->Picture(), 0, 0, 24, 68, Track);
    Fill(bkg->Picture(), 10, 0, 14, 68, Groove);
    Fill(bkg->Picture(), 0, 67, 24, 68, Edge);
    auto* holder = Make<TImage>(form);
    holder->Picture().SetSize(24, 16);
    Fill(holder->Picture(), 0, 0, 24, 16, clLime);
    Fill(holder->Picture(), 2, 2, 22, 14, Body);
    slider = Make<TSlider>(form);
    slider->SetParent(form);
    slider->SetBounds(20, 10, 150, 25);
    slider->SetTransparent(true);
    slider->SetTranspColor(clLime);
    slider->SetHolderImage(holder);
    slider->SetBkgImage(bkg);
    slider->SetPosition(50);
    slider->Hint = "Level";
    slider->OnChange = [this](TComponent*) { changes.push_back(slider->Position()); };
  }

  std::unique_ptr<TBitmap> Compose() {
    auto dib = std::make_unique<TBitmap>(slider->Width(), slider->Height());
    slider->PaintTo(dib->DC());
    GdiFlush();
    return dib;
  }
};

TEST_F(SliderWindow, TakesTheBackgroundsSizeAndDrawsTheHolderWithItsBorderTransparent) {
  EXPECT_EQ(slider->Width(), 24);
  EXPECT_EQ(slider->Height(), 68);
  auto dib = Compose();
  // Holder rows 26..41 with a lime border of 2; the track with its groove and bottom edge.
  for (auto [x, y, c] : {std::tuple{5, 30, Body}, {0, 30, Track}, {12, 26, Groove},
                         {5, 28, Body}, {5, 27, Track}, {5, 25, Track}, {5, 42, Track},
                         {9, 60, Track}, {10, 60, Groove}, {0, 66, Track}, {0, 67, Edge}})
    EXPECT_EQ(dib->Pixel(x, y), c) << x << "," << y;
}

TEST_F(SliderWindow, MouseMessagesDragTheHolderWithTheMouseCapturedAndTheHintHidden) {
  form->Show();
  HWND h = slider->Handle();
  auto send = [&](UINT msg, WPARAM keys, int y) { SendMessageA(h, msg, keys, MAKELPARAM(5, y)); };
  send(WM_LBUTTONDOWN, MK_LBUTTON, 30);
  EXPECT_EQ(slider->Hint, "");
  EXPECT_EQ(GetCapture(), h);
  for (int y : {13, 13, -30}) send(WM_MOUSEMOVE, MK_LBUTTON, y);
  send(WM_LBUTTONUP, 0, -30);
  EXPECT_EQ(changes, (std::vector<int>{25, 0}));
  EXPECT_EQ(slider->Hint, "Level");
  EXPECT_NE(GetCapture(), h);
  auto dib = Compose();
  EXPECT_EQ(dib->Pixel(5, 5), Body) << "the holder is drawn at the top now";
  EXPECT_EQ(dib->Pixel(5, 30), Track);
  HDC dc = GetDC(h);  // and the window shows it in place, without waiting for a repaint
  for (auto [x, y] : {std::pair{5, 5}, {5, 17}, {9, 60}, {10, 60}, {0, 67}})
    EXPECT_EQ(GetPixel(dc, x, y), dib->Pixel(x, y)) << x << "," << y;
  ReleaseDC(h, dc);

  // Losing the mouse (a menu, another program) ends a drag.
  send(WM_LBUTTONDOWN, MK_LBUTTON, 5);
  ASSERT_EQ(GetCapture(), h);
  ReleaseCapture();
  EXPECT_EQ(slider->Hint, "Level");
  send(WM_MOUSEMOVE, MK_LBUTTON, 40);
  EXPECT_EQ(slider->Position(), 0);
  EXPECT_EQ(changes.size(), 2u);

  slider->SetTranspColor(Body);  // the lime border shows at once
  dc = GetDC(h);
  EXPECT_EQ(GetPixel(dc, 0, 5), clLime);
  ReleaseDC(h, dc);
}

TEST_F(SliderWindow, TheHandShowsOverTheHolderAndAScreenCursorEverywhere) {
  form->Show();
  app.ProcessMessages();
  HWND h = slider->Handle();
  auto cursorAt = [&](int x, int y) {
    POINT p{x, y};
    ClientToScreen(h, &p);
    SetCursorPos(p.x, p.y);
    SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  EXPECT_EQ(cursorAt(5, 30), slider->HolderCursor);
  EXPECT_NE(cursorAt(5, 5), slider->HolderCursor);
  HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
  SetScreenCursor(wait);
  EXPECT_EQ(cursorAt(5, 30), wait);
  EXPECT_EQ(cursorAt(5, 5), wait);
  SetScreenCursor(nullptr);
}

}  // namespace
