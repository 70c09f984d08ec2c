// The recorder panel: the display strip with status, elapsed seconds and level meter, the
// Stop and Pause buttons, the GSM lamp, and the recorder that does the work.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "audio/MixerUtils.h"
#include "audio/WaveRecord.h"
#include "controls/VolumeGauge.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/StdCtrls.h"

// The panel's texts, shared by every panel of the program and renewed by ApplyTexts.
struct TRecorderTexts {
  std::string TimeFormat = "%d sec.";
  std::string Playing = "Playing...  ";
  std::string Recording = "Recording... ";
  std::string Paused = "Paused  ";
  std::string Mono = "Mono ";
  std::string Stereo = "Stereo ";
};
extern TRecorderTexts RecorderTexts;

// What the panel takes from the program's options. The main window hands them over before
// each recording or playback; the panel reports its own changes (the message's duration, the
// lamp's click) through OnDurationChange and OnGsmChange.
struct TRecorderSettings {
  bool Mono = false;
  bool Bits16 = false;
  int Quality = 0;  // 0 = 8000 Hz, 1 = 11025 Hz, 2 = 22050 Hz, 3 = 44100 Hz
  std::string MsgFileName;
  bool BeepOnRecord = false;
  bool GSM610 = false;
  int DurationSec = 0;  // the message's, counted while it is recorded
};

class TRecorderForm : public TPanel {
 public:
  explicit TRecorderForm(TComponent* owner);
  ~TRecorderForm() override;

  TImage* ImageBkg;
  TSpeedButton* btnStop;
  TSpeedButton* btnPause;
  TImage* imgDisplay;
  TLabel* LStatus;
  TLabel* LTime;
  TVolumeGauge* PeakGauge;
  TLabel* LMono;
  TLabel* LGsm;
  TImage* imgLightOn;
  TImage* imgLightOff;
  TLabel* LGSMOnOff;
  TImage* imgSoundRecorder;
  TSpeedButton* btnRecord;
  TSpeedButton* btnPlay;
  TSpeedButton* btnClose;
  TTimer* PlayTimer;
  TTimer* PeakTimer;

  bool Recording = false;
  int Elapsed = 0;
  std::unique_ptr<TWaveRecorder> Recorder;
  std::unique_ptr<TPeakMeter> PlayMeter;
  std::unique_ptr<TPeakMeter> RecordMeter;
  TPeakMeter* ActiveMeter = nullptr;
  std::string StatusText;
  bool PlayMode = false;
  TNotifyEvent OnPlayDone;
  TNotifyEvent OnStopped;
  TNotifyEvent OnPaused;
  std::function<void(TComponent*, int)> OnDurationChange;
  std::function<void(TComponent*, bool)> OnGsmChange;

  const TRecorderSettings& Settings() const { return settings_; }
  // Takes the options as they are now; the lamp shows GSM610 at once.
  void SetSettings(const TRecorderSettings& settings);

  // What became of the last recording that cmdStop saved: the new message (rfMessage, or
  // rfSilent when every sample stays below -50 dBFS), nothing at all (rfEmpty: the message
  // and its duration stay as they were), a file other than the message (rfKept, in
  // KeptFileName), or lost because nothing could be written anywhere (rfLost).
  enum TRecordingFate { rfNone, rfMessage, rfSilent, rfEmpty, rfKept, rfLost };
  TRecordingFate LastFate = rfNone;
  std::string KeptFileName;
  std::string SaveErrorText;  // the system's words for a save that failed
  // Tells the user what they must know of the last recording: that nothing was recorded,
  // that it is silent, or where it went; nothing after a good one. Once per recording.
  void ReportRecording();

  void StartRecording();
  void StartPlayback();
  void cmdRecord(TComponent* sender);
  void cmdPlay(TComponent* sender);
  void cmdStop(TComponent* sender);
  void cmdPause(TComponent* sender);
  void ApplyTexts();

  void PlayDone(TComponent* sender);
  void Stopped(TComponent* sender);
  void Paused(TComponent* sender);
  void PlayTimerTimer(TComponent* sender);
  void PeakTimerTimer(TComponent* sender);
  void cmdPeakChange(TMixerLineControl* sender);
  void LGSMOnOffClick(TComponent* sender);

 private:
  void ShowStatus();
  void PlayBeep();
  void ApplyFormatOptions();
  void ShowLamp();
  void SetRunning(bool running);
  void Started(const std::string& status, bool recording);
  void SaveRecording();
  void PlaceRecording();
  void SetDuration(int seconds);
  TRecorderSettings settings_;
  int durationBefore_ = 0;  // the message's duration while a new one is recorded
  std::string savedFile_;   // where SaveRecording put the recording; empty when nowhere
};
