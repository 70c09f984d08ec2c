// Mixer lookups, reads, writes and change messages against a scripted device table.
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
constexpr DWORD kCD = MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
constexpr DWORD kVolume = MIXERCONTROL_CONTROLTYPE_VOLUME;
constexpr DWORD kMute = MIXERCONTROL_CONTROLTYPE_MUTE;
constexpr DWORD kPeak = MIXERCONTROL_CONTROLTYPE_PEAKMETER;

// A sound card of the time: speakers (master volume, mute) with a wave output source (volume,
// mute, peak meter); a wave input with a microphone (volume, peak meter) and a MUX.
struct TypicalCard {
  TScriptedMixer mixer;
  DWORD masterVolume, masterMute, waveVolume, waveMute, wavePeak, micVolume, micPeak, mux;
  TypicalCard() {
    int spk = mixer.AddDestination(kSpeakers);
    masterVolume = mixer.AddControl(spk, -1, kVolume, 40000);
    masterMute = mixer.AddControl(spk, -1, kMute, 1);
    int wave = mixer.AddSource(spk, kWaveOut);
    waveVolume = mixer.AddControl(spk, wave, kVolume, 1000);
    waveMute = mixer.AddControl(spk, wave, kMute, 1);
    wavePeak = mixer.AddControl(spk, wave, kPeak, -1234);
    int in = mixer.AddDestination(kWaveIn);
    mixer.AddSource(in, kLineIn);
    int mic = mixer.AddSource(in, kMicrophone, 1);
    micVolume = mixer.AddControl(in, mic, kVolume, 20000);
    micPeak = mixer.AddControl(in, mic, kPeak, 777);
    mux = mixer.AddMux(in, {{"Line In", 0x100, kLineIn}, {"Microphone", 0x101, kMicrophone},
                            {"CD Audio", 0x102, kCD}},
                       0);
  }
};

TEST(MixerLookup, FindsEachLineOfTheSelectors) {
  TypicalCard card;
  TFader wave, master, mic;
  ASSERT_TRUE(wave.Open(mlWaveOut));
  ASSERT_TRUE(master.Open(mlMaster));
  ASSERT_TRUE(mic.Open(mlMicrophone));
  EXPECT_EQ(wave.Control.dwControlID, card.waveVolume);
  EXPECT_EQ(master.Control.dwControlID, card.masterVolume);
  EXPECT_EQ(mic.Control.dwControlID, card.micVolume);
  // Open reads the value at once.
  EXPECT_EQ(wave.Position, 1000u);
  EXPECT_EQ(master.Position, 40000u);
  EXPECT_EQ(mic.Position, 20000u);

  TMuteSwitch waveMute, masterMute;
  ASSERT_TRUE(waveMute.Open(mlWaveOut));
  ASSERT_TRUE(masterMute.Open(mlMaster));
  EXPECT_EQ(waveMute.Control.dwControlID, card.waveMute);
  EXPECT_EQ(masterMute.Control.dwControlID, card.masterMute);
  EXPECT_TRUE(waveMute.Muted);

  TPeakMeter play, rec;
  ASSERT_TRUE(play.OpenPlayback());
  ASSERT_TRUE(rec.OpenRecording());
  EXPECT_EQ(play.Control.dwControlID, card.wavePeak);
  EXPECT_EQ(rec.Control.dwControlID, card.micPeak);
  EXPECT_EQ(play.Details.cChannels, 2u);
  EXPECT_EQ(rec.Details.cChannels, 1u);
  ASSERT_TRUE(play.Update());
  ASSERT_TRUE(rec.Update());
  EXPECT_EQ(play.Left, 1234);  // the absolute value
  EXPECT_EQ(rec.Left, 777);
  card.mixer.Change(card.wavePeak, LONG_MIN);  // no undefined negation
  ASSERT_TRUE(play.Update());
  EXPECT_EQ(play.Left, INT_MAX);
}

TEST(MixerLookup, DestinationSearchSkipsDestinationsWithoutTheControl) {
  // The master volume lookup does not compare the destination type: with nothing on the
  // speakers it lands on the wave input's volume.
  TScriptedMixer mixer;
  mixer.AddDestination(kSpeakers);  // no controls at all
  mixer.AddControl(mixer.AddDestination(kSpeakers), -1, kMute);
  DWORD inVolume = mixer.AddControl(mixer.AddDestination(kWaveIn), -1, kVolume, 3000);
  TFader master;
  ASSERT_TRUE(master.Open(mlMaster));
  EXPECT_EQ(master.Control.dwControlID, inVolume);
  EXPECT_EQ(master.Position, 3000u);
}

TEST(MixerLookup, SourceSearchSkipsOtherDestinationsAndSourcesWithoutTheControl) {
  TScriptedMixer mixer;
  int in = mixer.AddDestination(kWaveIn);  // a wave-out source here must not count
  int stray = mixer.AddSource(in, kWaveOut);
  mixer.AddControl(in, stray, kVolume, 1);
  int spk = mixer.AddDestination(kSpeakers);
  int first = mixer.AddSource(spk, kWaveOut);
  mixer.AddControl(spk, first, kMute);  // the right type of line, but no volume
  int second = mixer.AddSource(spk, kWaveOut);
  DWORD wanted = mixer.AddControl(spk, second, kVolume, 2);
  TFader wave;
  ASSERT_TRUE(wave.Open(mlWaveOut));
  EXPECT_EQ(wave.Control.dwControlID, wanted);
  EXPECT_EQ(wave.Position, 2u);
}

TEST(MixerLookup, LineWithMoreControlsThanTheArrayIsNotSearched) {
  TScriptedMixer mixer;
  int spk = mixer.AddDestination(kSpeakers);
  for (int i = 0; i < 65; ++i) mixer.AddControl(spk, -1, kMute);
  mixer.AddControl(spk, -1, kVolume);  // the 66th
  TFader master;
  EXPECT_FALSE(master.Open(mlMaster));
  EXPECT_FALSE(master.Opened());
}

TEST(MixerLookup, NothingFoundLeavesTheObjectUnopenedAndReachesNoControl) {
  // Wine's device: speakers with volume and mute, a wave-out source; no peak meter, no wave
  // input. Control 0 exists, so an empty identifier would reach it if it were sent.
  TScriptedMixer mixer;
  int spk = mixer.AddDestination(kSpeakers);
  DWORD volume = mixer.AddControl(spk, -1, kVolume, 65535);
  mixer.AddControl(spk, -1, kMute, 0);
  mixer.AddSource(spk, kWaveOut, 1);
  ASSERT_EQ(volume, 0u);

  TPeakMeter play, rec;
  EXPECT_FALSE(play.OpenPlayback());
  EXPECT_FALSE(rec.OpenRecording());
  TFader mic;
  EXPECT_FALSE(mic.Open(mlMicrophone));
  TFader none;
  EXPECT_FALSE(none.Open(3));
  TMuteSwitch micMute;
  EXPECT_FALSE(micMute.Open(mlMicrophone));
  TRecordingSourceList sources;
  EXPECT_FALSE(sources.Open());
  EXPECT_FALSE(play.Opened() || rec.Opened() || mic.Opened() || sources.Opened());

  EXPECT_FALSE(play.Update());
  EXPECT_EQ(play.Left, 0);
  EXPECT_FALSE(mic.Update());
  EXPECT_FALSE(mic.SetPosition(1));
  EXPECT_FALSE(micMute.SetMuted(true));
  EXPECT_FALSE(sources.Update());
  EXPECT_FALSE(sources.Select(0));
  EXPECT_FALSE(SelectMicrophone());
  EXPECT_FALSE(SetVolumePercent(mlMicrophone, 10));
  EXPECT_EQ(GetVolumePercent(mlMicrophone), 0);

  EXPECT_TRUE(mixer.Reads.empty());
  EXPECT_TRUE(mixer.Writes.empty());
  EXPECT_EQ(mixer.Value(volume), 65535);
}

TEST(MixerLookup, NoMixerDeviceAtAll) {
  TScriptedMixer mixer;
  mixer.Present = false;
  TFader master;
  EXPECT_FALSE(master.Open(mlMaster));
  EXPECT_FALSE(master.SetPosition(100));
  EXPECT_EQ(GetVolumePercent(mlMaster), 0);
  EXPECT_FALSE(SetMute(mlMaster, false));
  EXPECT_FALSE(SelectMicrophone());
}

TEST(RecordingSources, ListsTheMuxItemsAndSelectsTheMicrophone) {
  TypicalCard card;
  TRecordingSourceList list;
  ASSERT_TRUE(list.Open());
  EXPECT_EQ(list.Control.dwControlID, card.mux);
  ASSERT_EQ(list.Sources.size(), 3u);
  EXPECT_EQ(list.Sources[1].Name, "Microphone");
  EXPECT_EQ(list.Sources[1].Source.LineID, 0x101u);
  EXPECT_EQ(list.Sources[1].Source.ComponentType, kMicrophone);
  EXPECT_TRUE(list.Sources[0].Source.Selected);
  EXPECT_FALSE(list.Sources[1].Source.Selected);
  EXPECT_FALSE(list.SelectByType(MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER));
  EXPECT_FALSE(list.Select(3));  // past the end: would select nothing
  EXPECT_FALSE(list.Select(-1));
  EXPECT_TRUE(card.mixer.Writes.empty());

  EXPECT_TRUE(SelectMicrophone());
  EXPECT_EQ(card.mixer.Value(card.mux, 0), 0);
  EXPECT_EQ(card.mixer.Value(card.mux, 1), 1);
  EXPECT_EQ(card.mixer.Value(card.mux, 2), 0);
  ASSERT_TRUE(list.Update());
  EXPECT_TRUE(list.Sources[1].Source.Selected);
}

TEST(RecordingSources, NamesOfFullLengthAreKeptUnterminated) {
  TScriptedMixer mixer;
  int in = mixer.AddDestination(kWaveIn);
  std::string longName(70, 'x');
  mixer.AddMux(in, {{longName, 1, kMicrophone}}, 0);
  TRecordingSourceList list;
  ASSERT_TRUE(list.Open());
  ASSERT_EQ(list.Sources.size(), 1u);
  EXPECT_EQ(list.Sources[0].Name, std::string(64, 'x'));  // unterminated 64 characters
}

TEST(RecordingSources, MuxOfMoreThan65ItemsYieldsAnEmptyList) {
  for (int count : {65, 66}) {
    TScriptedMixer mixer;
    int in = mixer.AddDestination(kWaveIn);
    std::vector<TScriptedMixer::TItem> items;
    for (int i = 0; i < count; ++i)
      items.push_back({"Source " + std::to_string(i), DWORD(i), i == 40 ? kMicrophone : kLineIn});
    mixer.AddMux(in, items, 0);
    TRecordingSourceList list;
    EXPECT_TRUE(list.Open()) << count;
    if (count == 65) {
      EXPECT_EQ(list.Sources.size(), 65u);
      EXPECT_EQ(list.Sources[64].Name, "Source 64");
      EXPECT_TRUE(list.SelectByType(kMicrophone));
      EXPECT_EQ(mixer.Value(0, 40), 1);
    } else {
      EXPECT_FALSE(list.Update());
      EXPECT_TRUE(list.Sources.empty());
      EXPECT_FALSE(list.Select(0));
      EXPECT_FALSE(SelectMicrophone());
      EXPECT_TRUE(mixer.Reads.empty());
      EXPECT_TRUE(mixer.Writes.empty());
    }
  }
}

TEST(VolumePercent, FixedScaleOf65535) {
  TypicalCard card;
  for (auto [raw, percent] : {std::pair<LONG, int>{0, 0}, {65535, 100}, {32767, 49}, {655, 0},
                              {656, 1}}) {
    card.mixer.Change(card.masterVolume, raw);
    EXPECT_EQ(GetVolumePercent(mlMaster), percent) << raw;
  }
  ASSERT_TRUE(SetVolumePercent(mlMaster, 50));
  EXPECT_EQ(card.mixer.Value(card.masterVolume), 32767);
  EXPECT_EQ(GetVolumePercent(mlMaster), 49);  // written and read back one lower
  ASSERT_TRUE(SetVolumePercent(mlWaveOut, 100));
  EXPECT_EQ(card.mixer.Value(card.waveVolume), 65535);
  ASSERT_TRUE(SetVolumePercent(mlMicrophone, 0));
  EXPECT_EQ(card.mixer.Value(card.micVolume), 0);
  // Out of range: held to the scale instead of wrapping around.
  ASSERT_TRUE(SetVolumePercent(mlMaster, 250));
  EXPECT_EQ(card.mixer.Value(card.masterVolume), 65535);
  ASSERT_TRUE(SetVolumePercent(mlMaster, -5));
  EXPECT_EQ(card.mixer.Value(card.masterVolume), 0);
  // A value beyond the common range does not overflow the arithmetic.
  card.mixer.Change(card.masterVolume, LONG(0x7FFFFFFF));
  EXPECT_EQ(GetVolumePercent(mlMaster), int(0x7FFFFFFFLL * 100 / 65535));
}

TEST(Mute, WritesAndReadsTheState) {
  TypicalCard card;
  ASSERT_TRUE(SetMute(mlMaster, false));
  ASSERT_TRUE(SetMute(mlWaveOut, false));
  EXPECT_EQ(card.mixer.Value(card.masterMute), 0);
  EXPECT_EQ(card.mixer.Value(card.waveMute), 0);
  TMuteSwitch m;
  ASSERT_TRUE(m.Open(mlMaster));
  EXPECT_FALSE(m.Muted);
  ASSERT_TRUE(m.SetMuted(true));
  EXPECT_EQ(card.mixer.Value(card.masterMute), 1);
}

TEST(ChangeMessages, EveryListeningObjectIsRefreshedOnce) {
  TypicalCard card;
  std::map<TMixerLineControl*, int> calls;
  DWORD seen = 0;  // what the master's handler sees
  auto count = [&](TMixerLineControl* sender) { ++calls[sender]; };
  TFader master([&](TMixerLineControl* s) {
    count(s);
    seen = static_cast<TFader*>(s)->Position;
  });
  TMuteSwitch mute(count);
  TPeakMeter meter(count);
  TFader deaf;  // created without a change event: not listening
  ASSERT_TRUE(master.Open(mlMaster));
  ASSERT_TRUE(mute.Open(mlMaster));
  ASSERT_TRUE(meter.OpenPlayback());
  ASSERT_TRUE(deaf.Open(mlMaster));
  Pump();
  calls.clear();

  // A change of one control refreshes the others as well: identifiers are not compared.
  card.mixer.Change(card.masterVolume, 12345);
  card.mixer.Change(card.wavePeak, -99);
  card.mixer.Reads.clear();
  Pump();
  EXPECT_EQ(calls[&master], 2);
  EXPECT_EQ(calls[&mute], 2);
  EXPECT_EQ(calls[&meter], 2);
  EXPECT_EQ(calls.size(), 3u);
  EXPECT_EQ(seen, 12345u);
  EXPECT_EQ(meter.Left, 99);
  EXPECT_EQ(deaf.Position, 40000u);  // not refreshed
  // Update ran before each OnChange: one read per listener and message.
  EXPECT_EQ(card.mixer.Reads.size(), 6u);

  calls.clear();
  card.mixer.Change(card.micVolume, 1);
  Pump();
  EXPECT_EQ(calls[&master], 1);
  EXPECT_EQ(calls[&mute], 1);
  EXPECT_EQ(calls[&meter], 1);
}

TEST(Lifecycle, EveryObjectClosesItsMixer) {
  TypicalCard card;
  {
    TFader a([](TMixerLineControl*) {});
    TMuteSwitch b;
    TRecordingSourceList c;
    TPeakMeter d;
    a.Open(mlMaster);
    c.Open();
    EXPECT_EQ(card.mixer.OpenHandles(), 4u);
  }
  GetVolumePercent(mlMaster);
  SetMute(mlMaster, true);
  SelectMicrophone();
  EXPECT_EQ(card.mixer.OpenHandles(), 0u);
}

TEST(Lifecycle, MessagesAfterDestructionGoNowhere) {
  TypicalCard card;
  int calls = 0;
  {
    TFader master([&](TMixerLineControl*) { ++calls; });
    master.Open(mlMaster);
    card.mixer.Change(card.masterVolume, 1);  // posted, not yet handled
  }
  Pump();
  EXPECT_EQ(calls, 0);
}

}  // namespace
