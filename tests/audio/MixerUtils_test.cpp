// Mixer lookups, reads and writes against a scripted device table.
#include "audio/MixerUtils.h"

#include <gtest/gtest.h>

#include <climits>

#include "ScriptedMixer.h"

namespace {

constexpr DWORD kSpeakers = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
constexpr DWORD kWaveIn = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
constexpr DWORD kWaveOut = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
constexpr DWORD kMicrophone = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
constexpr DWORD kLineIn = MIXERLINE_COMPONENTTYPE_SRC_LINE;
constexpr DWORD kVolume = MIXERCONTROL_CONTROLTYPE_VOLUME;
constexpr DWORD kMute = MIXERCONTROL_CONTROLTYPE_MUTE;
constexpr DWORD kPeak = MIXERCONTROL_CONTROLTYPE_PEAKMETER;

// Speakers (master volume) with a wave output (volume, stereo peak meter); a wave input with
// a line in and a mono microphone (volume, peak meter).
struct TypicalCard {
  TScriptedMixer mixer;
  DWORD master, wavePeak, mic;
  TypicalCard() {
    int spk = mixer.AddDestination(kSpeakers);
    master = mixer.AddControl(spk, -1, kVolume, 40000);
    int out = mixer.AddSource(spk, kWaveOut);
    mixer.AddControl(spk, out, kVolume, 1000);
    wavePeak = mixer.AddControl(spk, out, kPeak, -1234);
    int in = mixer.AddDestination(kWaveIn);
    mixer.AddSource(in, kLineIn);
    int m = mixer.AddSource(in, kMicrophone, 1);
    mic = mixer.AddControl(in, m, kVolume, 20000);
    mixer.AddControl(in, m, kPeak, 777);
  }
};

// The faders' and the recording source's lookups are the main window's test's.
TEST(MixerLookup, PeakMetersReadTheAbsoluteLevelOfTheirLines) {
  TypicalCard card;
  TPeakMeter play, rec;
  ASSERT_TRUE(play.OpenPlayback() && rec.OpenRecording());
  EXPECT_EQ(play.Details.cChannels, 2u);
  EXPECT_EQ(rec.Details.cChannels, 1u);
  ASSERT_TRUE(play.Update() && rec.Update());
  EXPECT_EQ(play.Left, 1234);  // the absolute value
  EXPECT_EQ(rec.Left, 777);
  card.mixer.Change(card.wavePeak, LONG_MIN);  // no undefined negation
  ASSERT_TRUE(play.Update());
  EXPECT_EQ(play.Left, INT_MAX);
}

TEST(MixerLookup, SkipsLinesWithoutTheControlAndNeverListsMoreThanItHolds) {
  {  // The master lookup does not compare the destination type.
    TScriptedMixer mixer;
    mixer.AddDestination(kSpeakers);  // no controls at all
    mixer.AddControl(mixer.AddDestination(kSpeakers), -1, kMute);
    DWORD inVolume = mixer.AddControl(mixer.AddDestination(kWaveIn), -1, kVolume, 3000);
    TFader master;
    ASSERT_TRUE(master.Open(mlMaster));
    EXPECT_EQ(master.Control.dwControlID, inVolume);
  }
  {  // A source lookup compares both types.
    TScriptedMixer mixer;
    int in = mixer.AddDestination(kWaveIn);
    mixer.AddControl(in, mixer.AddSource(in, kWaveOut), kVolume);
    int spk = mixer.AddDestination(kSpeakers);
    mixer.AddControl(spk, mixer.AddSource(spk, kWaveOut), kMute);
    DWORD wanted = mixer.AddControl(spk, mixer.AddSource(spk, kWaveOut), kVolume);
    TFader wave;
    ASSERT_TRUE(wave.Open(mlWaveOut));
    EXPECT_EQ(wave.Control.dwControlID, wanted);
  }
  {  // 66 controls would overrun the array of 65.
    TScriptedMixer mixer;
    int spk = mixer.AddDestination(kSpeakers);
    for (int i = 0; i < 65; ++i) mixer.AddControl(spk, -1, kMute);
    mixer.AddControl(spk, -1, kVolume);
    TFader master;
    EXPECT_FALSE(master.Open(mlMaster));
    EXPECT_FALSE(master.Opened());
  }
}

TEST(MixerLookup, NothingFoundReachesNoControl) {
  // Wine's device, whose master volume is control 0: an empty identifier would reach it.
  TScriptedMixer mixer;
  int spk = mixer.AddDestination(kSpeakers);
  DWORD volume = mixer.AddControl(spk, -1, kVolume, 65535);
  mixer.AddSource(spk, kWaveOut, 1);
  ASSERT_EQ(volume, 0u);
  TPeakMeter play, rec;
  EXPECT_FALSE(play.OpenPlayback() || rec.OpenRecording());
  TFader mic, none;
  EXPECT_FALSE(mic.Open(mlMicrophone) || none.Open(3));
  EXPECT_FALSE(play.Opened() || rec.Opened() || mic.Opened());
  EXPECT_FALSE(play.Update());
  EXPECT_FALSE(mic.SetPosition(1));
  EXPECT_FALSE(SelectMicrophone());
  EXPECT_FALSE(SetVolumePercent(mlMicrophone, 10));
  EXPECT_EQ(GetVolumePercent(mlMicrophone), 0);
  EXPECT_TRUE(mixer.Reads.empty());
  EXPECT_TRUE(mixer.Writes.empty());

  mixer.Present = false;  // no mixer device at all
  EXPECT_FALSE(SetVolumePercent(mlMaster, 10));
  EXPECT_EQ(GetVolumePercent(mlMaster), 0);
  EXPECT_FALSE(SetMute(mlMaster, false));
  EXPECT_EQ(mixer.Value(volume), 65535);
}

TEST(RecordingSources, TheMicrophoneIsChosenAmongUpTo65ItemsNamedUpTo64Characters) {
  for (int count : {65, 66}) {
    SCOPED_TRACE(count);
    TScriptedMixer mixer;
    std::vector<TScriptedMixer::TItem> items;
    for (int i = 0; i < count; ++i)
      items.push_back({std::string(70, 'a' + i % 26), DWORD(i), i == 40 ? kMicrophone : kLineIn});
    DWORD mux = mixer.AddMux(mixer.AddDestination(kWaveIn), items, 0);
    TRecordingSourceList list;
    EXPECT_TRUE(list.Open());
    EXPECT_FALSE(list.Select(-1) || list.Select(count));
    EXPECT_TRUE(mixer.Writes.empty());
    if (count == 65) {
      ASSERT_EQ(list.Sources.size(), 65u);
      EXPECT_EQ(list.Sources[40].Name, std::string(64, 'o'));  // kept unterminated
      EXPECT_TRUE(SelectMicrophone());
      EXPECT_EQ(mixer.Value(mux, 0), 0);
      EXPECT_EQ(mixer.Value(mux, 40), 1);
      ASSERT_TRUE(list.Update());
      EXPECT_TRUE(list.Sources[40].Source.Selected);
    } else {  // more would overrun the arrays: nothing is read or written
      EXPECT_TRUE(list.Sources.empty());
      EXPECT_FALSE(list.Update() || SelectMicrophone());
      EXPECT_TRUE(mixer.Reads.empty());
    }
  }
}

TEST(VolumePercent, AFixedScaleOf65535HeldWithinItsEnds) {
  TypicalCard card;
  for (auto [raw, percent] : {std::pair<LONG, int>{65535, 100}, {655, 0}, {656, 1},
                              {LONG(0x7FFFFFFF), int(0x7FFFFFFFLL * 100 / 65535)}}) {
    card.mixer.Change(card.master, raw);
    EXPECT_EQ(GetVolumePercent(mlMaster), percent) << raw;
  }
  for (auto [percent, raw] : {std::pair{100, 65535}, {0, 0}, {250, 65535}, {-5, 0}}) {
    ASSERT_TRUE(SetVolumePercent(mlMicrophone, percent));
    EXPECT_EQ(card.mixer.Value(card.mic), raw) << percent;
  }
}

TEST(Lifecycle, EveryObjectClosesItsMixerAndHearsNothingOnceGone) {
  TypicalCard card;
  int calls = 0;
  {
    TFader a([&](TMixerLineControl*) { ++calls; });
    TRecordingSourceList b;
    TPeakMeter c;
    a.Open(mlMaster);
    b.Open();
    EXPECT_EQ(card.mixer.OpenHandles(), 3u);
    card.mixer.Change(card.master, 1);  // posted, not yet handled
  }
  Pump();
  EXPECT_EQ(calls, 0);
  GetVolumePercent(mlMaster);
  SetMute(mlMaster, true);
  SelectMicrophone();
  EXPECT_EQ(card.mixer.OpenHandles(), 0u);
}

}  // namespace
