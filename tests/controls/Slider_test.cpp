// The bitmap slider as a window under Wine: composed into a DIB pixel by pixel, dragged with
// mouse messages, its cursor over the holder.
#include "controls/Slider.h"

#include <gtest/gtest.h>

#include <memory>

#include "toolkit/Forms.h"
#include "toolkit/Screen.h"

namespace {

constexpr TColor Track = RGB(0, 0, 128), Groove = RGB(40, 40, 40), Body = RGB(200, 30, 30),
                 Grey = RGB(150, 150, 150);

void Fill(TBitmap& b, int l, int t, int r, int bottom, TColor c) {
  TCanvas canvas(b.DC());
  canvas.SetBrushColor(c);
  canvas.FillRect(RECT{l, t, r, bottom});
}

struct SliderWindow : ::testing::Test {
  TApplication app;
  TForm* form = nullptr;
  TImage* bkg = nullptr;
  TImage* holder = nullptr;
  TSlider* slider = nullptr;
  std::vector<int> changes;

  void SetUp() override {
    form = app.CreateForm<TForm>();
    form->BorderStyle = bsNone;
    form->SetBounds(100, 100, 120, 120);
    // The level slider window's pictures: a 24 by 68 track with a groove, a 24 by 16 holder
    // whose lime border lets the track show through.
    bkg = Make<TImage>(form);
    bkg->Picture().SetSize(24, 68);
    Fill(bkg->Picture(), 0, 0, 24, 68, Track);
    Fill(bkg->Picture(), 10, 0, 14, 68, Groove);
    holder = Make<TImage>(form);
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
  EXPECT_EQ(slider->Left(), 20) << "the place stays";
  auto dib = Compose();
  // Holder rows 26..41: body inside, the track through its lime border.
  EXPECT_EQ(dib->Pixel(5, 30), Body);
  EXPECT_EQ(dib->Pixel(0, 30), Track);
  EXPECT_EQ(dib->Pixel(12, 26), Groove) << "top border row of the holder is see-through";
  EXPECT_EQ(dib->Pixel(5, 28), Body);
  EXPECT_EQ(dib->Pixel(5, 27), Track);
  EXPECT_EQ(dib->Pixel(5, 25), Track) << "above the holder";
  EXPECT_EQ(dib->Pixel(5, 42), Track) << "below it";
  EXPECT_EQ(dib->Pixel(12, 60), Groove);
}

TEST_F(SliderWindow, WithoutTransparencyTheHoldersLimeIsDrawn) {
  slider->SetTransparent(false);
  auto dib = Compose();
  EXPECT_EQ(dib->Pixel(0, 30), clLime);
  EXPECT_EQ(dib->Pixel(5, 30), Body);
}

TEST_F(SliderWindow, APositionOutsideTheRangeIsDrawnWhereItSays) {
  slider->SetPosition(-10);  // top at -5: rows 0..10 hold the holder
  auto dib = Compose();
  EXPECT_EQ(dib->Pixel(5, 5), Body);
  EXPECT_EQ(dib->Pixel(5, 12), Track);
}

TEST_F(SliderWindow, WithoutPicturesTheControlsColourFillsIt) {
  TSlider* bare = Make<TSlider>(form);
  bare->Color = clYellow;
  EXPECT_EQ(bare->Width(), 150);
  EXPECT_EQ(bare->Height(), 25);
  TBitmap dib(150, 25);
  bare->PaintTo(dib.DC());
  GdiFlush();
  EXPECT_EQ(dib.Pixel(75, 12), clYellow);
}

TEST_F(SliderWindow, DisablingShowsTheDisabledFrameAndEnablingFrameZero) {
  holder->Picture().SetSize(48, 16);  // two frames: red, then grey
  Fill(holder->Picture(), 0, 0, 48, 16, clLime);
  Fill(holder->Picture(), 2, 2, 22, 14, Body);
  Fill(holder->Picture(), 26, 2, 46, 14, Grey);
  slider->SetNumImages(2);
  slider->SetHolderImage(holder);
  slider->SetDisabledIndex(1);
  EXPECT_EQ(Compose()->Pixel(5, 30), Body);
  slider->SetEnabled(false);
  EXPECT_EQ(slider->ImageIndex(), 1);
  EXPECT_EQ(Compose()->Pixel(5, 30), Grey);
  slider->SetEnabled(true);
  EXPECT_EQ(Compose()->Pixel(5, 30), Body);
}

TEST_F(SliderWindow, ADragWithMouseMessagesRaisesOneChangePerPositionAndHidesTheHint) {
  form->Show();
  HWND h = slider->Handle();
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 30));
  EXPECT_EQ(slider->Hint, "");
  EXPECT_EQ(GetCapture(), h);
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 26));
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 13));
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, 13));
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, static_cast<WORD>(-30)));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, static_cast<WORD>(-30)));
  EXPECT_EQ(changes, (std::vector<int>{25, 0}));
  EXPECT_EQ(slider->Hint, "Level");
  EXPECT_NE(GetCapture(), h);
  // The holder is drawn at the top now.
  auto dib = Compose();
  EXPECT_EQ(dib->Pixel(5, 5), Body);
  EXPECT_EQ(dib->Pixel(5, 30), Track);
}

TEST_F(SliderWindow, LosingTheMouseEndsTheDrag) {
  form->Show();
  HWND h = slider->Handle();
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 30));
  ASSERT_TRUE(slider->Model().Dragging());
  ReleaseCapture();  // as when a menu or another program takes the mouse
  EXPECT_FALSE(slider->Model().Dragging());
  EXPECT_EQ(slider->Hint, "Level");
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(slider->Position(), 50);
  EXPECT_TRUE(changes.empty());
}

TEST_F(SliderWindow, ARightPressHidesTheHintUntilReleasedAndMovesNothing) {
  form->Show();
  HWND h = slider->Handle();
  SendMessageA(h, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 30));
  EXPECT_EQ(slider->Hint, "");
  SendMessageA(h, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(5, 5));
  SendMessageA(h, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(slider->Hint, "Level");
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(slider->Position(), 50);
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
  EXPECT_EQ(cursorAt(5, 30), slider->HolderCursor);
}

}  // namespace
