// The level slider window under Wine against a scripted mixer. The level figures are
// SliderLevels_test's; here, the window's wiring, place, drag and painting.
#include "audio/fSlider.h"

#include <gtest/gtest.h>

#include <vector>

#include "GuiObjects.h"
#include "ScriptedMixer.h"
#include "audio/LevelBar.h"

namespace {

constexpr DWORD kSpeakers = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
constexpr DWORD kWaveIn = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
constexpr DWORD kMicrophone = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
constexpr DWORD kVolume = MIXERCONTROL_CONTROLTYPE_VOLUME;

struct SliderWindow : ::testing::Test {
  TScriptedMixer mixer;  // outlives the window's faders
  DWORD master = 0, mic = 0;
  std::unique_ptr<TApplication> app;
  std::vector<int> volumeSteps, micSteps;

  void SetUp() override {
    int spk = mixer.AddDestination(kSpeakers);
    master = mixer.AddControl(spk, -1, kVolume, 40000);
    int in = mixer.AddDestination(kWaveIn);
    int m = mixer.AddSource(in, kMicrophone, 1);
    mic = mixer.AddControl(in, m, kVolume, 20000);
    app = std::make_unique<TApplication>();
    SliderVolumeText = "Volume";
    SliderMicrophoneText = "Microphone";
  }
  void TearDown() override { app.reset(); }

  TSliderForm* Create() {
    TSliderForm* f = CreateSliderWindow();
    f->OnVolumeChange = [this](TComponent*, int steps) { volumeSteps.push_back(steps); };
    f->OnMicrophoneChange = [this](TComponent*, int steps) { micSteps.push_back(steps); };
    return f;
  }
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

TEST_F(SliderWindow, IsOneWindowOfTheSizeOfItsBackground) {
  TSliderForm* f = Create();
  EXPECT_EQ(CreateSliderWindow(), f);
  EXPECT_EQ(SliderForm, f);
  EXPECT_EQ(f->ClientWidth(), 65);
  EXPECT_EQ(f->ClientHeight(), 105);
  EXPECT_EQ(f->Slider->Width(), 24);
  EXPECT_EQ(f->Slider->Height(), 68);
  EXPECT_EQ(app->MainForm(), nullptr) << "closing it must not end the program";
  const LONG_PTR ex = GetWindowLongPtrA(f->Handle(), GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongPtrA(f->Handle(), GWL_STYLE) & WS_CAPTION);
  app.reset();
  EXPECT_EQ(SliderForm, nullptr) << "gone with the application";
  EXPECT_EQ(mixer.OpenHandles(), 0u) << "both faders closed their mixer handles";
}

TEST_F(SliderWindow, StaysAboveTheMainWindowWhenThatIsActivated) {
  TForm* main = app->CreateForm<TForm>();
  main->BorderStyle = bsNone;
  main->SetBounds(200, 200, 400, 300);
  main->Show();
  SetCursorPos(300, 300);
  ShowSliderWindow(true);
  Pump();
  HWND slider = SliderForm->Handle();
  EXPECT_EQ(GetWindow(slider, GW_OWNER), main->Handle());
  SetForegroundWindow(main->Handle());
  SetWindowPos(main->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Pump();
  RECT r;
  GetWindowRect(slider, &r);
  const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  HWND top = WindowFromPoint(middle);
  EXPECT_TRUE(top == slider || IsChild(slider, top)) << "main " << main->Handle();
}

TEST_F(SliderWindow, PassesMenuKeysToTheMainWindow) {
  TForm* main = app->CreateForm<TForm>();
  auto* menu = Make<TMainMenu>(main);
  auto* item = Make<TMenuItem>(main);
  item->SetCaption("Adjust Microphone Level");
  item->ShortCut = ShortCut('M', scCtrl);
  int clicks = 0;
  item->OnClick = [&](TComponent*) { ++clicks; };
  menu->Items()->Add(item);
  main->SetMenu(menu);
  TSliderForm* f = Create();
  EXPECT_TRUE(f->IsShortCut('M', ssCtrl));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(f->IsShortCut('Q', ssCtrl));
  EXPECT_EQ(clicks, 1);
}

TEST_F(SliderWindow, EachModeFollowsAndWritesItsFaderWhileBothIndicatorsFollowTheMixer) {
  TSliderForm* f = Create();
  f->SyncLevels();
  EXPECT_EQ(volumeSteps, std::vector<int>{6});  // 15 - 40000*15/65535
  EXPECT_EQ(micSteps, std::vector<int>{11});    // 15 - 20000*15/65535
  ShowSliderWindow(true);
  Pump();
  Change(master, 65535);
  EXPECT_EQ(f->Slider->Position(), 0) << "top is loudest";
  EXPECT_EQ(volumeSteps.back(), 0);
  Drag(f, 26);  // position 50
  EXPECT_EQ(mixer.Value(master), 32767);
  EXPECT_EQ(mixer.Value(mic), 20000);
  Pump();
  EXPECT_EQ(f->Slider->Position(), 51) << "the change message came back";

  ShowSliderWindow(false);
  EXPECT_EQ(f->Slider->Position(), 70) << "the microphone's level: 100 - 20000*100/65535";
  Change(master, 0);
  EXPECT_EQ(f->Slider->Position(), 70) << "a master change leaves the microphone's slider";
  EXPECT_EQ(volumeSteps.back(), 15) << "but still reaches the volume indicator";
  const size_t writes = mixer.Writes.size();
  Change(mic, 4369);
  EXPECT_EQ(micSteps.back(), 14);
  EXPECT_EQ(mixer.Writes.size(), writes) << "a mixer change never writes back";
  Drag(f, 0);
  EXPECT_EQ(mixer.Value(mic), 65535);
  EXPECT_EQ(mixer.Value(master), 0);
}

TEST_F(SliderWindow, OpensUnderThePointerAndKeepsItsPlaceWhenSwitched) {
  SetCursorPos(400, 300);
  POINT p;
  GetCursorPos(&p);
  ShowSliderWindow(true);
  TSliderForm* f = SliderForm;
  Pump();
  RECT r;
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.left, p.x - 45);
  EXPECT_EQ(r.top, p.y - 60);
  EXPECT_TRUE(IsWindowVisible(f->Handle()));
  EXPECT_EQ(f->DeviceCaption, "Volume");
  EXPECT_EQ(f->ActiveFader, f->VolumeFader.get());

  SetCursorPos(700, 600);
  ShowSliderWindow(false);
  Pump();
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.left, p.x - 45) << "a visible window stays where it is";
  EXPECT_EQ(r.top, p.y - 60);
  EXPECT_EQ(f->DeviceCaption, "Microphone");
  EXPECT_EQ(f->ActiveFader, f->MicFader.get());

  f->btnCloseClick(f->btnClose);
  EXPECT_FALSE(IsWindowVisible(f->Handle()));
  EXPECT_EQ(SliderForm, f) << "closing only hides it";
  GetCursorPos(&p);
  ShowSliderWindow(false);
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.left, p.x - 45) << "hidden, it opens under the pointer again";
}

TEST_F(SliderWindow, DraggingTheBackgroundMovesTheWindowByTheMouseMovement) {
  SetCursorPos(300, 300);
  ShowSliderWindow(true);
  TSliderForm* f = SliderForm;
  Pump();
  RECT before;
  GetWindowRect(f->Handle(), &before);
  HWND h = f->Handle();
  // Right button: any button drags. (10, 100) is background, below the level bar.
  SendMessageA(h, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 100));
  EXPECT_TRUE(f->Dragging);
  SendMessageA(h, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(27, 93));  // +17, -7
  RECT after;
  GetWindowRect(h, &after);
  EXPECT_EQ(after.left - before.left, 17);
  EXPECT_EQ(after.top - before.top, -7);
  // The window moved with the mouse: the pointer is at (10, 100) of it again.
  SendMessageA(h, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(10, 100));
  GetWindowRect(h, &after);
  EXPECT_EQ(after.left - before.left, 17);
  SendMessageA(h, WM_RBUTTONUP, 0, MAKELPARAM(10, 100));
  EXPECT_FALSE(f->Dragging);
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(40, 40));
  GetWindowRect(h, &after);
  EXPECT_EQ(after.left - before.left, 17) << "no drag after the button is up";
}

TEST_F(SliderWindow, LevelBarIsLitFromTheSlidersPlaceDownInsideTheLimeShape) {
  TSliderForm* f = Create();
  Change(master, 32768);  // position 50: lit from row 34
  ASSERT_EQ(f->Slider->Position(), 50);
  TPaintBox* box = f->PaintBoxLevel;
  TBitmap dib(box->Width(), box->Height());
  {
    TCanvas canvas(dib.DC());
    f->PaintBoxLevelPaint(box, canvas);
  }
  const TBitmap& bkg = f->ImgBkg->Picture();
  int grey = 0, lit = 0;
  for (int y = 0; y < box->Height(); ++y) {
    for (int x = 0; x < box->Width(); ++x) {
      const TColor under = bkg.Pixel(box->Left() + x, box->Top() + y);
      const TColor got = dib.Pixel(x, y);
      if (under != clLime) {
        EXPECT_EQ(got, under) << x << "," << y;
      } else if (y < 34) {
        EXPECT_EQ(got, kLevelBarGrey) << x << "," << y;
        ++grey;
      } else {
        EXPECT_EQ(got, kLevelBarLit) << x << "," << y;
        ++lit;
      }
    }
  }
  EXPECT_GT(grey, 100) << "the background has a lime shape under the level bar";
  EXPECT_GT(lit, 100);
}

TEST_F(SliderWindow, DeviceCaptionReadsUpwardsInTheFontsColour) {
  TSliderForm* f = Create();
  TPaintBox* box = f->PaintBoxDevice;
  auto paint = [&](const std::string& caption, RECT& ink) {
    f->DeviceCaption = caption;
    TBitmap dib(box->Width(), box->Height());
    TCanvas canvas(dib.DC());
    canvas.SetBrushColor(clBlack);
    canvas.FillRect(RECT{0, 0, box->Width(), box->Height()});
    f->PaintBoxDevicePaint(box, canvas);
    ink = RECT{1000, 1000, -1, -1};
    int count = 0;
    for (int y = 0; y < box->Height(); ++y)
      for (int x = 0; x < box->Width(); ++x)
        if (dib.Pixel(x, y) != clBlack) {
          ++count;
          ink.left = std::min<LONG>(ink.left, x);
          ink.top = std::min<LONG>(ink.top, y);
          ink.right = std::max<LONG>(ink.right, x + 1);
          ink.bottom = std::max<LONG>(ink.bottom, y + 1);
        }
    return count;
  };
  RECT ink;
  ASSERT_GT(paint("Volume", ink), 20);
  EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left)) << "taller than wide";
  EXPECT_GT(ink.bottom, box->Height() - 8) << "starts at the bottom";
  EXPECT_EQ(paint("", ink), 0);
}

TEST_F(SliderWindow, WithoutAMixerSilenceIsShownAndAUserMoveStillLightsTheLevelBar) {
  mixer.Present = false;  // nothing written, nothing comes back
  TSliderForm* f = Create();
  f->SyncLevels();
  EXPECT_EQ(volumeSteps, std::vector<int>{15});
  EXPECT_EQ(micSteps, std::vector<int>{15});
  ShowSliderWindow(true);
  Pump();
  ASSERT_EQ(f->Slider->Position(), 100);
  TPaintBox* box = f->PaintBoxLevel;
  TBitmap dib(box->Width(), box->Height());
  box->DrawTarget = dib.DC();
  Drag(f, 0);
  box->DrawTarget = nullptr;
  ASSERT_EQ(f->Slider->Position(), 0);
  EXPECT_TRUE(mixer.Writes.empty());
  // The top row of the background's lime wedge is lit now.
  const TBitmap& bkg = f->ImgBkg->Picture();
  int lit = 0;
  for (int x = 0; x < box->Width(); ++x)
    if (bkg.Pixel(box->Left() + x, box->Top() + 1) == clLime)
      lit += dib.Pixel(x, 1) == kLevelBarLit ? 1 : -100;
  EXPECT_GT(lit, 0);
}

TEST_F(SliderWindow, OpeningAndClosingFiftyTimesKeepsObjectCountsSteady) {
  SetCursorPos(300, 300);
  ShowSliderWindow(true);
  Pump();
  SliderForm->btnCloseClick(nullptr);
  Pump();
  const DWORD gdi = GdiObjectCount(), user = UserObjectCount();
  for (int i = 0; i < 50; ++i) {
    ShowSliderWindow(i % 2 == 0);
    SliderForm->Repaint();
    UpdateWindow(SliderForm->Handle());
    Change(i % 2 ? mic : master, i * 1000);
    SliderForm->btnCloseClick(nullptr);
    Pump(5);
  }
  EXPECT_EQ(GdiObjectCount(), gdi);
  EXPECT_EQ(UserObjectCount(), user);
}

}  // namespace
