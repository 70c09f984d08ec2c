// The level slider window under Wine against a scripted mixer. The level figures are
// SliderLevels_test's, the main window's use of it MainWindow_test's.
#include "audio/fSlider.h"

#include <gtest/gtest.h>

#include <set>


#include "GuiObjects.h"
#include "ScriptedMixer.h"
#include "audio/LevelBar.h"

namespace {

struct SliderWindow : ::testing::Test {
  TScriptedMixer mixer;  // outlives the window's faders
  DWORD master = 0, mic = 0;
  std::unique_ptr<TApplication> app;

  void SetUp() override {
    const DWORD volume = MIXERCONTROL_CONTROLTYPE_VOLUME;
    master = mixer.AddControl(mixer.AddDestination(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS), -1,
                              volume, 40000);
    int in = mixer.AddDestination(MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    int m = mixer.AddSource(in, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, 1);
    mic = mixer.AddControl(in, m, volume, 20000);
    app = std::make_unique<TApplication>();
  }
  void TearDown() override { app.reset(); }

  void Change(DWORD control, LONG value) {
    mixer.Change(control, value);
    Pump();
  }
  // The user drags the holder's top to `y`.
  static void Drag(TSliderForm* f, int y) {
    f->Slider->MouseDown(mbLeft, 0, 5, f->Slider->Model().HolderRect().Top + 2);
    f->Slider->MouseMove(0, 5, y);
    f->Slider->MouseUp(mbLeft, 0, 5, y);
  }
};

TEST_F(SliderWindow, IsOneTopmostWindowWithoutCaptionGoneWithTheApplication) {
  TSliderForm* f = CreateSliderWindow();
  EXPECT_EQ(CreateSliderWindow(), f);
  EXPECT_EQ(app->MainForm(), nullptr) << "closing it must not end the program";
  EXPECT_TRUE(GetWindowLongPtrA(f->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongPtrA(f->Handle(), GWL_STYLE) & WS_CAPTION);
  app.reset();
  EXPECT_EQ(SliderForm, nullptr);
  EXPECT_EQ(mixer.OpenHandles(), 0u) << "both faders closed their mixer handles";
}

TEST_F(SliderWindow, BelongsToTheMainWindowAndPassesItsMenuKeysOn) {
  TForm* main = app->CreateForm<TForm>();
  auto* menu = Make<TMainMenu>(main);
  auto* item = Make<TMenuItem>(main);
  item->ShortCut = ShortCut('M', scCtrl);
  int clicks = 0;
  item->OnClick = [&](TComponent*) { ++clicks; };
  menu->Items()->Add(item);
  main->SetMenu(menu);
  TSliderForm* f = CreateSliderWindow();
  EXPECT_EQ(GetWindow(f->Handle(), GW_OWNER), main->Handle()) << "stays above it";
  EXPECT_TRUE(f->IsShortCut('M', ssCtrl));
  EXPECT_FALSE(f->IsShortCut('Q', ssCtrl));
  EXPECT_EQ(clicks, 1);
}

TEST_F(SliderWindow, EachModeFollowsAndWritesOnlyItsOwnFader) {
  ShowSliderWindow(true);
  TSliderForm* f = SliderForm;
  Change(master, 65535);
  EXPECT_EQ(f->Slider->Position(), 0) << "top is loudest";
  Drag(f, 26);  // position 50
  EXPECT_EQ(mixer.Value(master), 32767);
  EXPECT_EQ(mixer.Value(mic), 20000);
  Pump();
  EXPECT_EQ(f->Slider->Position(), 51) << "the change message came back";

  ShowSliderWindow(false);
  EXPECT_EQ(f->Slider->Position(), 70) << "the microphone's level: 100 - 20000*100/65535";
  Change(master, 0);
  EXPECT_EQ(f->Slider->Position(), 70) << "a master change leaves the microphone's slider";
  const size_t writes = mixer.Writes.size();
  Change(mic, 4369);
  EXPECT_EQ(f->Slider->Position(), 94);
  EXPECT_EQ(mixer.Writes.size(), writes) << "a mixer change never writes back";
  Drag(f, 0);
  EXPECT_EQ(mixer.Value(mic), 65535);
  EXPECT_EQ(mixer.Value(master), 0);
}

TEST_F(SliderWindow, OpensUnderThePointerAndKeepsItsPlaceWhileVisible) {
  auto place = [](POINT& at) {
    GetCursorPos(&at);
    RECT r;
    GetWindowRect(SliderForm->Handle(), &r);
    return std::pair{r.left - at.x, r.top - at.y};
  };
  POINT first, second;
  SetCursorPos(400, 300);
  ShowSliderWindow(true);
  EXPECT_EQ(place(first), (std::pair<LONG, LONG>{-45, -60}));
  SetCursorPos(700, 600);
  ShowSliderWindow(false);
  const auto kept = place(second);
  EXPECT_EQ(kept, (std::pair{first.x - second.x - 45, first.y - second.y - 60}));
  SliderForm->btnCloseClick(nullptr);
  EXPECT_FALSE(IsWindowVisible(SliderForm->Handle())) << "closing only hides it";
  ShowSliderWindow(false);
  EXPECT_EQ(place(second), (std::pair<LONG, LONG>{-45, -60})) << "hidden, it moves again";
}

TEST_F(SliderWindow, DraggingTheBackgroundWithAnyButtonMovesTheWindowWithTheMouse) {
  SetCursorPos(300, 300);
  ShowSliderWindow(true);
  HWND h = SliderForm->Handle();
  RECT before, after;
  GetWindowRect(h, &before);
  auto moved = [&] {
    GetWindowRect(h, &after);
    return std::pair{after.left - before.left, after.top - before.top};
  };
  // (10, 100) is background, below the level bar.
  SendMessageA(h, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 100));
  SendMessageA(h, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(27, 93));
  EXPECT_EQ(moved(), (std::pair<LONG, LONG>{17, -7}));
  SendMessageA(h, WM_RBUTTONUP, 0, MAKELPARAM(10, 100));
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(40, 40));
  EXPECT_EQ(moved(), (std::pair<LONG, LONG>{17, -7})) << "no drag after the button is up";
}

TEST_F(SliderWindow, TheLevelBarIsLitFromTheSlidersPlaceDownInsideTheLimeShape) {
  mixer.Present = false;  // without a mixer nothing comes back: a user move lights it still
  ShowSliderWindow(true);
  Pump();  // the pointer's move over the new window, before the drag
  TSliderForm* f = SliderForm;
  ASSERT_EQ(f->Slider->Position(), 100) << "silence is shown";
  TPaintBox* box = f->PaintBoxLevel;
  TBitmap dib(box->Width(), box->Height());
  box->DrawTarget = dib.DC();
  Drag(f, 26);  // position 50: lit from row 34
  box->DrawTarget = nullptr;
  ASSERT_EQ(f->Slider->Position(), 50);
  EXPECT_TRUE(mixer.Writes.empty());
  const TBitmap& bkg = f->ImgBkg->Picture();
  int grey = 0, lit = 0;
  for (int y = 0; y < box->Height(); ++y)
    for (int x = 0; x < box->Width(); ++x) {
      const TColor under = bkg.Pixel(box->Left() + x, box->Top() + y);
      const TColor want = under != clLime ? under : y < 34 ? kLevelBarGrey : kLevelBarLit;
      ASSERT_EQ(dib.Pixel(x, y), want) << x << "," << y;
      grey += want == kLevelBarGrey;
      lit += want == kLevelBarLit;
    }
  EXPECT_GT(std::min(grey, lit), 100) << "the background has a lime shape under the bar";
}

TEST_F(SliderWindow, DeviceCaptionReadsUpwardsFromTheBottom) {
  TSliderForm* f = CreateSliderWindow();
  TPaintBox* box = f->PaintBoxDevice;
  TBitmap dib(box->Width(), box->Height());
  f->DeviceCaption = "Volume";
  {
    TCanvas canvas(dib.DC());
    canvas.SetBrushColor(clBlack);
    canvas.FillRect(RECT{0, 0, box->Width(), box->Height()});
    f->PaintBoxDevicePaint(box, canvas);
  }
  std::set<int> rows, columns;  // that hold ink
  for (int y = 0; y < box->Height(); ++y)
    for (int x = 0; x < box->Width(); ++x)
      if (dib.Pixel(x, y) != clBlack) rows.insert(y), columns.insert(x);
  ASSERT_FALSE(rows.empty());
  EXPECT_GT(rows.size(), 2 * columns.size()) << "taller than wide";
  EXPECT_GT(*rows.rbegin(), box->Height() - 9) << "starts at the bottom";
}

TEST_F(SliderWindow, OpeningAndClosingLeavesNoObjectsBehind) {
  DWORD gdi = 0, user = 0;
  for (int i = 0; i < 5; ++i) {
    ShowSliderWindow(i % 2 == 0);
    UpdateWindow(SliderForm->Handle());
    Change(i % 2 ? mic : master, i * 1000);
    SliderForm->btnCloseClick(nullptr);
    Pump(5);
    if (i == 0) gdi = GdiObjectCount(), user = UserObjectCount();
  }
  EXPECT_EQ(GdiObjectCount(), gdi);
  EXPECT_EQ(UserObjectCount(), user);
}

}  // namespace
