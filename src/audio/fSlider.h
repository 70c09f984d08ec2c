// The level slider window: a small pop-up without border or caption, always on top, whose
// vertical slider sets the master output volume or the microphone level. It watches both
// mixer levels all the time and reports them as unlit steps of a 15-step indicator, so that
// the main window's indicators follow changes made elsewhere. One window for the whole run;
// closing it only hides it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "audio/MixerUtils.h"
#include "controls/Slider.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

// The two device texts; the main window fills them from its string module.
extern std::string SliderVolumeText;
extern std::string SliderMicrophoneText;

using TLevelEvent = std::function<void(TComponent* sender, int unlitSteps)>;

class TSliderForm : public TForm {
 public:
  explicit TSliderForm(TComponent* owner);
  ~TSliderForm() override;

  TImage* ImgBkg;
  TSpeedButton* btnClose;
  TImage* imgSliderHandle;
  TImage* imgSliderBkg;
  TSlider* Slider;
  TPaintBox* PaintBoxDevice;
  TPaintBox* PaintBoxLevel;

  struct {
    WORD X = 0, Y = 0;
  } DragOrigin;
  bool Dragging = false;
  bool VolumeMode = true;
  std::string DeviceCaption;
  TFader* ActiveFader = nullptr;  // one of the two below
  std::unique_ptr<TFader> VolumeFader;
  std::unique_ptr<TFader> MicFader;
  TLevelEvent OnVolumeChange;
  TLevelEvent OnMicrophoneChange;

  // Reports both current levels as if both faders had changed.
  void SyncLevels();

  bool IsShortCut(WORD key, TShiftState shift) override;

  void btnCloseClick(TComponent* sender);
  void SliderChange(TComponent* sender);
  void VolumeChanged(TMixerLineControl* sender);
  void MicrophoneChanged(TMixerLineControl* sender);
  void PaintBoxLevelPaint(TComponent* sender, TCanvas& canvas);
  void PaintBoxDevicePaint(TComponent* sender, TCanvas& canvas);
  void ImgBkgMouseDown(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y);
  void ImgBkgMouseMove(TComponent* sender, TShiftState shift, int x, int y);
  void ImgBkgMouseUp(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y);

 private:
  void FaderChanged(TFader* fader, bool volume);
  void DrawLevelBarNow();
  // Mouse coordinates of a control over the background, in the background's coordinates.
  POINT InBackground(TComponent* sender, int x, int y) const;
};

// The program's one slider window; null until it is first created.
extern TSliderForm* SliderForm;

// Creates the window, owned by the application, unless it exists; returns it.
TSliderForm* CreateSliderWindow();
// Shows the window in volume mode (true) or microphone mode, under the mouse pointer when it
// was hidden; a visible window keeps its place and switches its mode.
void ShowSliderWindow(bool volumeMode);
// Hides the window if there is one.
void HideSliderWindow();
