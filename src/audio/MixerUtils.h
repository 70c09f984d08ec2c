// The mixer controls the program needs: the peak level of what is played or recorded, the
// volume and mute of the master and wave outputs and of the microphone, and the choice of
// the microphone as recording source. Every object opens mixer device 0 for itself.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TUtilityWindow;

constexpr int kMaxMixerItems = 65;

class TMixer {
 public:
  // Opens mixer device 0, reporting control changes to `callbackWindow` when there is one.
  explicit TMixer(HWND callbackWindow = nullptr);
  ~TMixer();
  TMixer(const TMixer&) = delete;
  TMixer& operator=(const TMixer&) = delete;

  // Finds a control of `controlType` on the source line of `sourceType` of the destination
  // of `destinationType`; with `sourceType` 0 on a destination line itself, and then the
  // first destination that has such a control is taken, whatever its type.
  bool FindControl(DWORD destinationType, DWORD sourceType, DWORD controlType,
                   MIXERCONTROLA& found);

  HMIXER Handle = nullptr;
  MIXERCAPSA Caps{};
  MIXERLINEA Line{};  // the line examined last
  MIXERCONTROLA Controls[kMaxMixerItems]{};

 private:
  bool FindOnLine(DWORD controlType, MIXERCONTROLA& found, bool& failed);
};

// Line selectors of TFader and TMuteSwitch.
enum : int { mlWaveOut = 0, mlMaster = 1, mlMicrophone = 2 };

class TMixerLineControl {
 public:
  using TChangeEvent = std::function<void(TMixerLineControl* sender)>;
  // With `onChange` the object listens to the device's control changes.
  explicit TMixerLineControl(TChangeEvent onChange = {});
  virtual ~TMixerLineControl();
  TMixerLineControl(const TMixerLineControl&) = delete;
  TMixerLineControl& operator=(const TMixerLineControl&) = delete;

  // Reads the control's current value into the object.
  virtual bool Update() = 0;
  bool Opened() const { return Details.cbStruct != 0; }

  std::unique_ptr<TUtilityWindow> Window;
  TChangeEvent OnChange;
  std::unique_ptr<TMixer> Mixer;
  MIXERCONTROLA Control{};
  MIXERCONTROLDETAILS Details{};

 protected:
  // Finds the control into `Control`; `Details` stay empty when there is none.
  bool OpenControl(DWORD destinationType, DWORD sourceType, DWORD controlType);
  void SetDetails(DWORD channels, DWORD items, DWORD detailSize, void* values);
  bool Read(DWORD flags = MIXER_GETCONTROLDETAILSF_VALUE);
  bool Write();

 private:
  void Changed();
};

class TPeakMeter : public TMixerLineControl {
 public:
  using TMixerLineControl::TMixerLineControl;
  // The peak meter of the wave output of the speakers, or of the microphone of the wave input.
  bool OpenPlayback();
  bool OpenRecording();
  bool Update() override;
  int Left = 0;  // absolute peak of the first channel

 private:
  bool Open(DWORD destinationType, DWORD sourceType);
  std::vector<MIXERCONTROLDETAILS_SIGNED> values_;
};

class TFader : public TMixerLineControl {
 public:
  using TMixerLineControl::TMixerLineControl;
  bool Open(int line);
  bool Update() override;
  bool SetPosition(DWORD value);
  DWORD Position = 0;  // 0 to 65535 on common devices

 private:
  MIXERCONTROLDETAILS_UNSIGNED value_{};
};

class TMuteSwitch : public TMixerLineControl {
 public:
  using TMixerLineControl::TMixerLineControl;
  bool Open(int line);
  bool Update() override;
  bool SetMuted(bool muted);
  bool Muted = false;

 private:
  MIXERCONTROLDETAILS_BOOLEAN value_{};
};

struct TRecordingSource {
  DWORD LineID = 0;
  DWORD ComponentType = 0;
  bool Selected = false;
};

class TRecordingSourceList : public TMixerLineControl {
 public:
  using TMixerLineControl::TMixerLineControl;
  bool Open();
  bool Update() override;
  bool Select(int index);
  bool SelectByType(DWORD componentType);

  struct TEntry {
    std::string Name;
    TRecordingSource Source;
  };
  std::vector<TEntry> Sources;

 private:
  MIXERCONTROLDETAILS_LISTTEXTA texts_[kMaxMixerItems]{};
  MIXERCONTROLDETAILS_BOOLEAN selected_[kMaxMixerItems]{};
};

// Raw volume 0..65535 as a percentage and back; the fixed range, not the control's own.
int VolumeToPercent(DWORD raw);
DWORD PercentToVolume(int percent);

int GetVolumePercent(int line);
bool SetVolumePercent(int line, int percent);
bool SetMute(int line, bool muted);
bool SelectMicrophone();
