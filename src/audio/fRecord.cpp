#include "audio/fRecord.h"

#include <mmsystem.h>

#include "audio/RecordingLevel.h"
#include "convert/ByteStream.h"
#include "mls/SoundRecMLS.h"
#include "mls/ovSharedMLS.h"
#include "mls/VocaletMLS.h"
#include "toolkit/Forms.h"
#include "util/FormatText.h"
#include "util/ovUtils.h"

TRecorderTexts RecorderTexts;

namespace {
constexpr TColor kDisplayBack = 3423041;  // dark grey
constexpr TColor kDisplayText = 3591935;  // amber
constexpr TColor kPeakColor = 11529214;

TLabel* DisplayLabel(TRecorderForm* panel, int height) {
  auto* l = Make<TLabel>(panel);
  l->SetParent(panel);
  l->Font.Name = "Tahoma";
  l->Font.Height = height;
  l->Font.Bold = true;
  l->Font.Color = kDisplayText;
  l->Color = kDisplayBack;
  l->Transparent = true;
  return l;
}

TImage* Picture(TRecorderForm* panel, const char* resource, int x, int y, bool transparent) {
  auto* img = Make<TImage>(panel);
  img->SetParent(panel);
  img->AutoSize = true;
  img->LoadFromResource(resource);
  img->Picture().Transparent = transparent;
  img->Picture().TransparentColor = RGB(255, 0, 255);
  img->SetLeft(x);
  img->SetTop(y);
  return img;
}

TSpeedButton* Button(TRecorderForm* panel, int x, int y, int w, int h, const char* glyph) {
  auto* b = Make<TSpeedButton>(panel);
  b->SetParent(panel);
  b->SetBounds(x, y, w, h);
  b->Flat = true;
  b->GlyphOnTop = true;
  b->Font.Name = "Tahoma";
  b->Font.Height = -11;
  if (glyph) {
    b->Glyph().LoadFromResourceName(ModuleInstance(), glyph);
    b->Glyph().Transparent = true;
    b->Glyph().TransparentColor = RGB(255, 0, 255);
  }
  return b;
}
}  // namespace

TRecorderForm::TRecorderForm(TComponent* owner) : TPanel(owner) {
  Name = "RecorderFrame";
  BevelOuter = bvNone;
  ShowCaption = false;
  Color = 14147299;
  SetBounds(0, 0, 506, 190);

  ImageBkg = Picture(this, "IMG_DISPLAYBKG", 0, 0, false);
  btnStop = Button(this, 4, 0, 50, 39, "IMG_STOP");
  btnStop->SetCaption("Stop");
  btnStop->SetEnabled(false);
  btnStop->OnClick = [this](TComponent* s) {
    cmdStop(s);
    ReportRecording();
  };
  btnPause = Button(this, 56, 0, 50, 39, "IMG_PAUSE");
  btnPause->SetCaption("Pause");
  btnPause->GroupIndex = 1;
  btnPause->AllowAllUp = true;
  btnPause->SetEnabled(false);
  btnPause->OnClick = [this](TComponent* s) { cmdPause(s); };

  imgDisplay = Picture(this, "IMG_DISPLAYFACE", 112, 1, false);
  LStatus = DisplayLabel(this, -11);
  LStatus->SetBounds(120, 5, 90, 13);
  LTime = DisplayLabel(this, -19);
  LTime->AutoSize = false;
  LTime->Alignment = taRightJustify;
  LTime->SetBounds(228, 2, 76, 21);
  LMono = DisplayLabel(this, -11);
  LMono->SetBounds(120, 21, 40, 13);
  PeakGauge = Make<TVolumeGauge>(this);
  PeakGauge->SetParent(this);
  PeakGauge->SetBounds(166, 23, 101, 9);
  PeakGauge->SetMaxLevel(32767);
  PeakGauge->SetPeakMeter(true);
  PeakGauge->PeakFreq = 10;
  PeakGauge->SetColor(kDisplayBack);
  PeakGauge->SetMarkColor(kDisplayText);
  PeakGauge->SetPeakColor(kPeakColor);
  PeakGauge->SetVisible(false);

  imgLightOn = Picture(this, "IMG_LIGHTON", 322, 14, true);
  imgLightOff = Picture(this, "IMG_LIGHTOFF", 322, 14, true);
  LGsm = Make<TLabel>(this);
  LGsm->SetParent(this);
  LGsm->Font.Name = "Tahoma";
  LGsm->Transparent = true;
  LGsm->SetBounds(338, 13, 100, 14);
  LGsm->SetCaption("GSM Compression");
  LGSMOnOff = Make<TLabel>(this);
  LGSMOnOff->SetParent(this);
  LGSMOnOff->AutoSize = false;
  LGSMOnOff->Transparent = true;
  LGSMOnOff->SetBounds(318, 8, 140, 24);
  LGSMOnOff->Cursor = LoadCursor(nullptr, IDC_HAND);
  LGSMOnOff->OnClick = [this](TComponent* s) { LGSMOnOffClick(s); };

  imgSoundRecorder = Picture(this, "IMG_TITLE", 8, 60, true);
  btnRecord = Button(this, 160, 60, 60, 30, nullptr);
  btnRecord->SetCaption("Record");
  btnRecord->OnClick = [this](TComponent* s) { cmdRecord(s); };
  btnPlay = Button(this, 224, 60, 60, 30, nullptr);
  btnPlay->SetCaption("Play");
  btnPlay->OnClick = [this](TComponent* s) { cmdPlay(s); };
  btnClose = Button(this, 288, 60, 60, 30, nullptr);
  btnClose->SetCaption("Close");

  PlayTimer = Make<TTimer>(this);
  PlayTimer->SetEnabled(false);
  PlayTimer->SetInterval(1000);
  PlayTimer->OnTimer = [this](TComponent* s) { PlayTimerTimer(s); };
  PeakTimer = Make<TTimer>(this);
  PeakTimer->SetEnabled(false);
  PeakTimer->SetInterval(75);
  PeakTimer->OnTimer = [this](TComponent* s) { PeakTimerTimer(s); };

  LTime->SetCaption("");
  PeakGauge->SetLevel(0);
  LStatus->SetVisible(false);
  LMono->SetVisible(false);
  LMono->SetLeft(LStatus->Left());
  Recorder = std::make_unique<TWaveRecorder>();
  PlayMeter = std::make_unique<TPeakMeter>();
  RecordMeter = std::make_unique<TPeakMeter>();
  ApplyTexts();
  ShowLamp();
}

TRecorderForm::~TRecorderForm() {
  PlayTimer->SetEnabled(false);
  PeakTimer->SetEnabled(false);
  ActiveMeter = nullptr;
  Recorder->Stop(nullptr);
  Recorder->Close();
  Recorder.reset();
  PlayMeter.reset();
  RecordMeter.reset();
}

void TRecorderForm::ApplyTexts() {
  LGsm->SetCaption(MLS_VOCALET->Strings[7]);
  btnStop->SetCaption(MLS_SOUNDREC->Strings[23]);
  btnPause->SetCaption(MLS_SOUNDREC->Strings[5]);
  RecorderTexts.TimeFormat = MLS_SOUNDREC->Strings[11];
  RecorderTexts.Playing = MLS_SOUNDREC->Strings[9];
  RecorderTexts.Recording = MLS_SOUNDREC->Strings[14];
  RecorderTexts.Paused = MLS_SOUNDREC->Strings[6];
  RecorderTexts.Mono = MLS_SOUNDREC->Strings[4];
  RecorderTexts.Stereo = MLS_SOUNDREC->Strings[22];
}

void TRecorderForm::SetSettings(const TRecorderSettings& settings) {
  settings_ = settings;
  ShowLamp();
}

void TRecorderForm::SetDuration(int seconds) {
  settings_.DurationSec = seconds;
  if (OnDurationChange) OnDurationChange(this, seconds);
}

void TRecorderForm::ShowLamp() {
  imgLightOff->SetVisible(!settings_.GSM610);
  imgLightOn->SetVisible(settings_.GSM610);
}

void TRecorderForm::ShowStatus() {
  LStatus->SetCaption(StatusText);
  LStatus->SetVisible(true);
  ShowLamp();
  // Painted now: the calls that follow block the window thread for a moment.
  Application->ProcessMessages();
}

void TRecorderForm::PlayBeep() {
  PlaySoundA("BEEP", ModuleInstance(), SND_RESOURCE | SND_SYNC);
  Sleep(350);
}

void TRecorderForm::ApplyFormatOptions() {
  Recorder->Channels = settings_.Mono ? 1 : 2;
  Recorder->BitsPerSample = settings_.Bits16 ? 16 : 8;
  switch (settings_.Quality) {
    case 0: Recorder->SamplesPerSec = 8000; break;
    case 1: Recorder->SamplesPerSec = 11025; break;
    case 2: Recorder->SamplesPerSec = 22050; break;
    case 3: Recorder->SamplesPerSec = 44100; break;
    default: break;  // the previous rate stays
  }
}

void TRecorderForm::StartRecording() {
  PlayMode = false;
  Recorder->FileName = settings_.MsgFileName;
  btnPlay->SetEnabled(GetFileAttributesA(Recorder->FileName.c_str()) != INVALID_FILE_ATTRIBUTES);
  StatusText = RecorderTexts.Recording;
  ShowStatus();
  if (settings_.BeepOnRecord) PlayBeep();
  durationBefore_ = settings_.DurationSec;
  SetDuration(0);
  cmdRecord(this);
}

void TRecorderForm::StartPlayback() {
  PlayMode = true;
  Recorder->FileName = settings_.MsgFileName;
  btnPlay->SetEnabled(GetFileAttributesA(Recorder->FileName.c_str()) != INVALID_FILE_ATTRIBUTES);
  StatusText = RecorderTexts.Playing;
  ShowStatus();
  cmdPlay(this);
}

void TRecorderForm::SetRunning(bool running) {
  btnRecord->SetEnabled(!running);
  btnPlay->SetEnabled(!running);
  btnPause->SetEnabled(running);
  btnStop->SetEnabled(running);
}

// What a recording and a playback that started share: the status, the seconds from zero,
// the running buttons and both timers.
void TRecorderForm::Started(const std::string& status, bool recording) {
  StatusText = status;
  Recording = recording;
  Elapsed = 0;
  LTime->SetCaption("");
  LStatus->SetCaption(StatusText);
  PlayTimer->SetEnabled(true);
  SetRunning(true);
  LStatus->SetVisible(true);
}

void TRecorderForm::cmdRecord(TComponent*) {
  ApplyFormatOptions();
  if (!Recorder->Record(nullptr)) return;
  Started(RecorderTexts.Recording, true);
  LMono->SetCaption(settings_.Mono ? RecorderTexts.Mono : RecorderTexts.Stereo);
  LMono->SetVisible(true);
  PeakTimer->SetEnabled(true);
  ActiveMeter = RecordMeter.get();
  ActiveMeter->OpenRecording();
}

void TRecorderForm::cmdPlay(TComponent*) {
  if (!Recorder->Play([this](TComponent*) { PlayDone(this); })) return;
  Started(RecorderTexts.Playing, false);
  LMono->SetVisible(false);
  PeakTimer->SetEnabled(true);
  ActiveMeter = PlayMeter.get();
  ActiveMeter->OpenPlayback();
}

void TRecorderForm::cmdStop(TComponent*) {
  Recorder->Stop([this](TComponent*) { Stopped(this); });
  const bool recorded = Recording;
  if (recorded) {
    Recording = false;
    SaveRecording();  // before the device closes: closing discards what is not saved
  }
  Recorder->Close();
  // The device holds the file it saved until it is closed.
  if (recorded) PlaceRecording();
  if (btnPause->Down()) btnPause->SetDown(false);
}

namespace {
// Where a recording goes first, beside the message; and, when the message's folder takes no
// file, in the temporary folder. Both are wave files the user can play.
std::string RecordingBeside(const std::string& message) {
  const std::string name = ExtractFileName(message);
  const size_t dot = name.rfind('.');
  return AddPath(ExtractFileDir(message),
                 (dot == std::string::npos ? name : name.substr(0, dot)) + ".recording.wav");
}

// The error box for a text whose line breaks are made already: the paths in it keep
// every backslash and n.
void ShowErrorText(const std::string& text) {
  MessageBeep(MB_ICONHAND);
  MessageBoxA(nullptr, text.c_str(), ErrorTitle.c_str(),
              MB_ICONHAND | MB_TASKMODAL | MB_SETFOREGROUND);
}

std::string SystemErrorText(DWORD code) {
  char text[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                 text, sizeof text, nullptr);
  return text;
}
}  // namespace

void TRecorderForm::SaveRecording() {
  const std::string message = Recorder->FileName;
  KeptFileName.clear();
  SaveErrorText.clear();
  // The message's folder may have gone since it was chosen (a cleaned temporary folder);
  // the recording is not to be lost for that.
  ForceDirectories(ExtractFileDir(message));
  // The recording is written to a file of its own first: the message it replaces stays
  // until the new one is known to hold something, and a message file that another program
  // holds open does not cost the recording.
  savedFile_.clear();
  for (const std::string& file : {RecordingBeside(message),
                                  AddPath(GetTempDir(), "Vocalet recording.wav")}) {
    DeleteFileA(file.c_str());
    Recorder->FileName = file;
    if (Recorder->Save()) {
      savedFile_ = file;
      break;
    }
    if (SaveErrorText.empty()) SaveErrorText = Recorder->ErrorText();
  }
  Recorder->FileName = message;
}

void TRecorderForm::PlaceRecording() {
  const std::string& message = Recorder->FileName;
  const std::string saved = savedFile_;
  savedFile_.clear();
  if (saved.empty()) {
    LastFate = rfLost;
    SetDuration(durationBefore_);
    return;
  }
  TRecordingContent content = TRecordingContent::Sound;
  {
    vocalet::TFileReadStream in(saved);
    if (in.IsOpen()) content = JudgeRecording(in);
  }
  if (content == TRecordingContent::Empty) {
    // Not a message: the one recorded before stays, with its duration.
    DeleteFileA(saved.c_str());
    LastFate = rfEmpty;
    SetDuration(durationBefore_);
    return;
  }
  if (MoveFileExA(saved.c_str(), message.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH | MOVEFILE_COPY_ALLOWED)) {
    LastFate = content == TRecordingContent::Silent ? rfSilent : rfMessage;
    return;
  }
  SaveErrorText = SystemErrorText(GetLastError());
  KeptFileName = saved;
  LastFate = rfKept;
  SetDuration(durationBefore_);
}

void TRecorderForm::ReportRecording() {
  const TRecordingFate fate = LastFate;
  LastFate = rfNone;
  const auto& vo = MLS_VOCALET->Strings;
  switch (fate) {
    case rfEmpty:
      ShowErrorMessage(vo[48]);
      break;
    case rfSilent:
      MessageBoxA(nullptr, ConvertLineBreaks(vo[49]).c_str(), MLS_OVSHARED->Strings[72].c_str(),
                  MB_ICONWARNING | MB_TASKMODAL | MB_SETFOREGROUND);
      break;
    case rfKept:
      ShowErrorText(FormatText(ConvertLineBreaks(vo[50]), {Recorder->FileName, KeptFileName}));
      break;
    case rfLost:
      ShowErrorMessage(SaveErrorText);
      break;
    default:
      break;
  }
}

void TRecorderForm::cmdPause(TComponent* sender) {
  // A click on the button has flipped it already; a menu command flips it here.
  if (sender != btnPause) btnPause->SetDown(!btnPause->Down());
  if (btnPause->Down()) {
    btnPause->SetDown(Recorder->Pause([this](TComponent*) { Paused(this); }));
    return;
  }
  btnPause->SetDown(false);
  bool resumed = Recording ? Recorder->Resume()
                           : Recorder->PlayFromCurrent([this](TComponent*) { PlayDone(this); });
  if (resumed) {
    PlayTimer->SetEnabled(true);
    PeakTimer->SetEnabled(true);
    LStatus->SetCaption(StatusText);
  }
}

void TRecorderForm::PlayDone(TComponent*) {
  Recorder->Close();
  PlayTimer->SetEnabled(false);
  PeakTimer->SetEnabled(false);
  LStatus->SetVisible(false);
  LMono->SetVisible(false);
  SetRunning(false);
  if (OnPlayDone) OnPlayDone(this);
}

void TRecorderForm::Stopped(TComponent*) {
  PlayTimer->SetEnabled(false);
  PeakTimer->SetEnabled(false);
  PeakGauge->SetLevel(0);
  LStatus->SetVisible(false);
  LTime->SetCaption("");
  SetRunning(false);
  if (OnStopped) OnStopped(this);
}

void TRecorderForm::Paused(TComponent*) {
  PlayTimer->SetEnabled(false);
  PeakTimer->SetEnabled(false);
  PeakGauge->SetLevel(0);
  LStatus->SetCaption(RecorderTexts.Paused);
  if (OnPaused) OnPaused(this);
}

void TRecorderForm::PlayTimerTimer(TComponent*) {
  if (!PlayMode) SetDuration(settings_.DurationSec + 1);
  ++Elapsed;
  LTime->SetCaption(FormatText(RecorderTexts.TimeFormat, {static_cast<long long>(Elapsed)}));
}

void TRecorderForm::PeakTimerTimer(TComponent*) {
  if (ActiveMeter && ActiveMeter->Update()) {
    if (!PeakGauge->Visible()) PeakGauge->SetVisible(true);
    PeakGauge->SetLevel(ActiveMeter->Left);
  }
}

void TRecorderForm::cmdPeakChange(TMixerLineControl* sender) {
  if (auto* meter = dynamic_cast<TPeakMeter*>(sender)) PeakGauge->SetLevel(meter->Left);
}

void TRecorderForm::LGSMOnOffClick(TComponent*) {
  settings_.GSM610 = !settings_.GSM610;
  ShowLamp();
  if (OnGsmChange) OnGsmChange(this, settings_.GSM610);
}
