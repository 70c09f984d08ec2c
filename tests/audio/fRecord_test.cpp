// The recorder panel's states under Wine, its recorder talking to a stand-in for MCI.
#include "audio/fRecord.h"

#include <gtest/gtest.h>

#include "FakeMci.h"
#include "TestFolder.h"
#include "convert/TestWaves.h"
#include "mls/SoundRecMLS.h"
#include "mls/VocaletMLS.h"
#include "mls/ovMLS.h"
#include "mls/ovSharedMLS.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

namespace {

struct RecorderPanel : ::testing::Test {
  TApplication app;
  TForm* form = app.CreateForm<TForm>();
  TRecorderForm* panel = Make<TRecorderForm>(form);
  TMenuItem* menuPause = Make<TMenuItem>(form);
  FakeMci mci;
  TRecorderSettings settings;

  static void SetUpTestSuite() {
    MLSManager = std::make_unique<TMLSManager>();
    MLS_OVSHARED = std::make_unique<TovSharedMLSModule>(*MLSManager);
    MLS_VOCALET = std::make_unique<TVocaletMLSModule>(*MLSManager);
    MLS_SOUNDREC = std::make_unique<TSoundRecMLSModule>(*MLSManager);
    MLSManager->SetLanguage(MLSManager->DefaultLanguage());  // the English compiled in
  }
  static void TearDownTestSuite() {
    MLS_SOUNDREC.reset();
    MLS_VOCALET.reset();
    MLS_OVSHARED.reset();
    MLSManager.reset();
  }
  void SetUp() override {
    panel->SetParent(form);
    panel->Recorder = std::make_unique<TWaveRecorder>(mci.Send());
    settings.MsgFileName = "C:\\nowhere\\message.wav";
    settings.Quality = 2;
    panel->SetSettings(settings);
  }
};

TEST_F(RecorderPanel, PauseFlipsOnceFromAClickOrTheMenuAndResumesWhatWasRunning) {
  for (bool click : {true, false})
    for (bool recording : {true, false}) {
      SCOPED_TRACE(std::string(click ? "click, " : "menu, ") +
                   (recording ? "recording" : "playback"));
      mci.Calls.clear();
      recording ? panel->StartRecording() : panel->StartPlayback();
      auto pause = [&] { click ? panel->btnPause->Click() : panel->cmdPause(menuPause); };
      pause();
      EXPECT_TRUE(panel->btnPause->Down());
      EXPECT_EQ(CountOf(mci, MCI_PAUSE), 1);
      const int plays = CountOf(mci, MCI_PLAY);
      pause();
      EXPECT_FALSE(panel->btnPause->Down());
      EXPECT_EQ(CountOf(mci, MCI_PAUSE), 1);
      // A recording resumes; a playback plays on from where it is.
      EXPECT_EQ(CountOf(mci, MCI_RESUME), recording ? 1 : 0);
      EXPECT_EQ(CountOf(mci, MCI_PLAY), recording ? 0 : plays + 1);
      EXPECT_EQ(CountOf(mci, MCI_OPEN), 1) << "went on from where it was, not reopened";
      panel->cmdStop(nullptr);
    }
}

TEST_F(RecorderPanel, ARefusedPausePutsTheButtonBackUp) {
  panel->StartRecording();
  mci.Results[MCI_PAUSE] = MCIERR_UNSUPPORTED_FUNCTION;
  panel->btnPause->Click();
  EXPECT_EQ(CountOf(mci, MCI_PAUSE), 1);
  EXPECT_FALSE(panel->btnPause->Down());
}

TEST_F(RecorderPanel, TheOptionsChooseTheFormatAndAQualityOutOfRangeKeepsThePreviousRate) {
  const struct {
    int quality;
    bool mono, bits16;
    DWORD rate;
    WORD channels, bits;
  } cases[] = {{0, true, false, 8000, 1, 8},     {1, false, true, 11025, 2, 16},
               {2, true, true, 22050, 1, 16},    {3, false, false, 44100, 2, 8},
               {4, true, false, 44100, 1, 8},    {-1, false, true, 44100, 2, 16}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.quality);
    settings.Quality = c.quality;
    settings.Mono = c.mono;
    settings.Bits16 = c.bits16;
    panel->SetSettings(settings);
    panel->StartRecording();
    const TCall* set = nullptr;
    for (const TCall& call : mci.Calls) set = call.Message == MCI_SET ? &call : set;
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->Format.nSamplesPerSec, c.rate);
    EXPECT_EQ(set->Format.nChannels, c.channels);
    EXPECT_EQ(set->Format.wBitsPerSample, c.bits);
    EXPECT_EQ(panel->LStatus->Caption(), "Recording...");
    EXPECT_EQ(panel->LMono->Caption(), c.mono ? "Mono" : "Stereo");
    panel->cmdStop(nullptr);
  }
}

TEST_F(RecorderPanel, ASavedRecordingBecomesTheMessageUnlessItHoldsNothing) {
  using namespace vocalet::test;
  TestFolder folder;
  const std::string message = folder.Path() + "\\message.wav";
  settings.MsgFileName = message;
  const struct {
    const char* name;
    Bytes data;
    TRecorderForm::TRecordingFate fate;
    int duration;  // an empty recording gives the message's back
  } cases[] = {{"sound", Pcm16Bytes({0, 5000, -5000}), TRecorderForm::rfMessage, 1},
               {"silence", Pcm16Bytes({0, 0, 0}), TRecorderForm::rfSilent, 1},
               {"nothing", {}, TRecorderForm::rfEmpty, 9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileA(message.c_str());
    const Bytes wave = MakeWave(WaveParams{}, c.data);
    mci.SavedFile.assign(wave.begin(), wave.end());
    settings.DurationSec = 9;
    panel->SetSettings(settings);
    panel->StartRecording();
    panel->PlayTimerTimer(nullptr);
    panel->cmdStop(nullptr);
    EXPECT_EQ(panel->LastFate, c.fate);
    EXPECT_EQ(panel->Settings().DurationSec, c.duration);
    EXPECT_EQ(GetFileAttributesA(message.c_str()) != INVALID_FILE_ATTRIBUTES,
              c.fate != TRecorderForm::rfEmpty);
    EXPECT_EQ(GetFileAttributesA((folder.Path() + "\\message.recording.wav").c_str()),
              INVALID_FILE_ATTRIBUTES);
  }
}

TEST_F(RecorderPanel, TheLampShowsGsmAndAClickOnItSwitchesIt) {
  std::vector<bool> reported;
  panel->OnGsmChange = [&](TComponent*, bool on) { reported.push_back(on); };
  settings.GSM610 = true;
  panel->SetSettings(settings);
  for (bool on : {true, false, true}) {
    EXPECT_EQ(panel->imgLightOn->Visible(), on);
    EXPECT_EQ(panel->imgLightOff->Visible(), !on);
    panel->LGSMOnOff->Click();
  }
  EXPECT_EQ(reported, (std::vector<bool>{false, true, false}));
}

TEST_F(RecorderPanel, ARecordingCountsItsSecondsAndALostOneKeepsTheOldDuration) {
  std::vector<int> reported;
  panel->OnDurationChange = [&](TComponent*, int sec) { reported.push_back(sec); };
  settings.DurationSec = 17;
  panel->SetSettings(settings);
  panel->StartRecording();
  panel->PlayTimerTimer(nullptr);
  panel->PlayTimerTimer(nullptr);
  // Neither place takes the recording: it is lost, and the message keeps its duration.
  mci.Results[MCI_SAVE] = MCIERR_FILE_NOT_SAVED;
  panel->cmdStop(nullptr);  // the main window's error box is MainWindow_test's
  std::vector<std::string> tried;  // beside the message first, then the temporary folder
  for (const TCall& c : mci.Calls)
    if (c.Message == MCI_SAVE) tried.push_back(c.Element);
  ASSERT_EQ(tried.size(), 2u);
  EXPECT_EQ(tried[0], "C:\\nowhere\\message.recording.wav");
  EXPECT_NE(tried[1].find("\\Vocalet recording.wav"), std::string::npos) << tried[1];
  EXPECT_EQ(reported, (std::vector<int>{0, 1, 2, 17}));
  EXPECT_EQ(panel->LastFate, TRecorderForm::rfLost);
  EXPECT_FALSE(panel->SaveErrorText.empty());

  reported.clear();
  panel->StartPlayback();
  panel->PlayTimerTimer(nullptr);
  EXPECT_TRUE(reported.empty()) << "a playback counted as recording";
}

}  // namespace
