// The MCI wave recorder: the commands it sends (through a recording stand-in for MCI), and
// real recording and playback under Wine with the scripted microphone of the test's HOME.
#include "audio/WaveRecord.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "FakeMci.h"
#include "MessagePump.h"
#include "TestFolder.h"
#include "WaveProbe.h"

namespace {

// --- The commands, through a stand-in --------------------------------------------------------

void SendNotify(TWaveRecorder& r, WPARAM code) {
  SendMessageA(r.Handle(), MM_MCINOTIFY, code, r.DeviceID);
}

TEST(RecorderCommands, RecordOpensANewFileSetsTheFormatAndRecords) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  r.Channels = 2;
  r.BitsPerSample = 16;
  r.SamplesPerSec = 44100;
  ASSERT_TRUE(r.Record({}));
  EXPECT_EQ(r.DeviceID, 7u);
  ASSERT_EQ(mci.Calls.size(), 3u);  // nothing open yet: no close first
  const TCall& open = mci.Calls[0];
  EXPECT_EQ(open.Device, 0u);
  EXPECT_EQ(open.Message, UINT(MCI_OPEN));
  EXPECT_EQ(open.Flags, 0x3200u);
  EXPECT_EQ(open.DeviceType, 0x20Au);
  EXPECT_EQ(open.Element, "");
  EXPECT_EQ(open.Callback, 0u);

  const TCall& set = mci.Calls[1];
  EXPECT_EQ(set.Device, 7u);
  EXPECT_EQ(set.Message, UINT(MCI_SET));
  EXPECT_EQ(set.Flags, DWORD_PTR(MCI_WAVE_SET_FORMATTAG | MCI_WAVE_SET_CHANNELS |
                                 MCI_WAVE_SET_SAMPLESPERSEC | MCI_WAVE_SET_AVGBYTESPERSEC |
                                 MCI_WAVE_SET_BLOCKALIGN | MCI_WAVE_SET_BITSPERSAMPLE));
  EXPECT_EQ(set.Format.wFormatTag, 1);
  EXPECT_EQ(set.Format.nChannels, 2);
  EXPECT_EQ(set.Format.nSamplesPerSec, 44100u);
  EXPECT_EQ(set.Format.wBitsPerSample, 16);
  EXPECT_EQ(set.Format.nBlockAlign, 4);
  EXPECT_EQ(set.Format.nAvgBytesPerSec, 176400u);
  EXPECT_EQ(set.Format.dwCallback, 0u);
  EXPECT_EQ(set.Format.dwTimeFormat, 0u);

  const TCall& rec = mci.Calls[2];
  EXPECT_EQ(rec.Device, 7u);
  EXPECT_EQ(rec.Message, UINT(MCI_RECORD));
  EXPECT_EQ(rec.Flags, 0u);
  EXPECT_EQ(rec.Callback, 0u);

  // The next operation that opens closes the device first.
  mci.Calls.clear();
  mci.NextId = 8;
  ASSERT_TRUE(r.Record({}));
  ASSERT_GE(mci.Calls.size(), 2u);
  EXPECT_EQ(mci.Calls[0].Message, UINT(MCI_CLOSE));
  EXPECT_EQ(mci.Calls[0].Device, 7u);
  EXPECT_EQ(mci.Calls[0].Flags, 0u);
  EXPECT_FALSE(mci.Calls[0].HasParams);
  EXPECT_EQ(mci.Calls[1].Message, UINT(MCI_OPEN));
}

TEST(RecorderCommands, FormatBlocks) {
  struct Case { BYTE ch; WORD bits; DWORD rate; WORD block; DWORD bytes; };
  for (Case c : {Case{1, 8, 8000, 1, 8000}, Case{1, 16, 11025, 2, 22050},
                 Case{2, 8, 22050, 2, 44100}, Case{2, 16, 44100, 4, 176400}}) {
    FakeMci mci;
    TWaveRecorder r(mci.Send());
    r.Channels = c.ch;
    r.BitsPerSample = c.bits;
    r.SamplesPerSec = c.rate;
    EXPECT_TRUE(r.SetFormat());
    ASSERT_EQ(mci.Calls.size(), 1u);
    EXPECT_EQ(mci.Calls[0].Format.nBlockAlign, c.block);
    EXPECT_EQ(mci.Calls[0].Format.nAvgBytesPerSec, c.bytes);
  }
}

TEST(RecorderCommands, RefusedFormatLeavesTheDecisionToTheRecordCommand) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  mci.Results[MCI_SET] = MCIERR_OUTOFRANGE;  // e.g. SamplesPerSec still 0
  EXPECT_TRUE(r.Record({}));
  EXPECT_EQ(r.LastError, 0u);
  ASSERT_EQ(mci.Calls.size(), 3u);
  EXPECT_EQ(mci.Calls[2].Message, UINT(MCI_RECORD));

  mci.Results[MCI_RECORD] = MCIERR_WAVE_INPUTSINUSE;
  EXPECT_FALSE(r.Record({}));
  EXPECT_EQ(r.LastError, DWORD(MCIERR_WAVE_INPUTSINUSE));
}

TEST(RecorderCommands, FailedOpenSendsNothingMoreAndClearsTheDevice) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  mci.Results[MCI_OPEN] = MCIERR_FILE_NOT_FOUND;
  r.FileName = "C:\\nowhere.wav";
  EXPECT_FALSE(r.Play([](TComponent*) {}));
  EXPECT_EQ(r.DeviceID, 0u);
  EXPECT_EQ(r.LastError, DWORD(MCIERR_FILE_NOT_FOUND));
  EXPECT_FALSE(r.Record({}));
  ASSERT_EQ(mci.Calls.size(), 2u);
  EXPECT_EQ(mci.Calls[0].Element, "C:\\nowhere.wav");
  EXPECT_EQ(mci.Calls[1].Element, "");
}

TEST(RecorderCommands, PlayOpensTheFileAndPlaysWithNotification) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  r.FileName = "C:\\msg.wav";
  mci.Results[MCI_PLAY] = MCIERR_HARDWARE;
  // The result is the open's; the play command's code is left in LastError.
  EXPECT_TRUE(r.Play([](TComponent*) {}));
  EXPECT_EQ(r.LastError, DWORD(MCIERR_HARDWARE));
  ASSERT_EQ(mci.Calls.size(), 2u);
  EXPECT_EQ(mci.Calls[0].Message, UINT(MCI_OPEN));
  EXPECT_EQ(mci.Calls[0].Flags, 0x3200u);
  EXPECT_EQ(mci.Calls[0].DeviceType, 0x20Au);
  EXPECT_EQ(mci.Calls[0].Element, "C:\\msg.wav");
  EXPECT_EQ(mci.Calls[1].Message, UINT(MCI_PLAY));
  EXPECT_EQ(mci.Calls[1].Device, 7u);
  EXPECT_EQ(mci.Calls[1].Flags, DWORD_PTR(MCI_NOTIFY));
  EXPECT_EQ(mci.Calls[1].Callback, reinterpret_cast<DWORD_PTR>(r.Handle()));
}

TEST(RecorderCommands, EachOperationSendsItsCommand) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  r.FileName = "C:\\msg.wav";
  ASSERT_TRUE(r.Play({}));
  mci.Calls.clear();
  const auto window = reinterpret_cast<DWORD_PTR>(r.Handle());
  EXPECT_TRUE(r.Pause({}));
  EXPECT_TRUE(r.Resume());
  EXPECT_TRUE(r.PlayFromCurrent({}));
  EXPECT_TRUE(r.Stop({}));
  EXPECT_TRUE(r.Save());
  ASSERT_EQ(mci.Calls.size(), 5u);
  struct Want { UINT msg; DWORD_PTR flags; DWORD_PTR callback; };
  Want want[] = {{MCI_PAUSE, MCI_NOTIFY, window}, {MCI_RESUME, 0, 0},
                 {MCI_PLAY, MCI_NOTIFY, window}, {MCI_STOP, MCI_NOTIFY, window},
                 {MCI_SAVE, MCI_SAVE_FILE, 0}};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(mci.Calls[i].Message, want[i].msg) << i;
    EXPECT_EQ(mci.Calls[i].Device, 7u) << i;
    EXPECT_EQ(mci.Calls[i].Flags, want[i].flags) << i;
    EXPECT_EQ(mci.Calls[i].Callback, want[i].callback) << i;
  }
  EXPECT_EQ(mci.Calls[4].Element, "C:\\msg.wav");
  mci.Results[MCI_SAVE] = MCIERR_CANNOT_LOAD_DRIVER;
  EXPECT_FALSE(r.Save());
  EXPECT_EQ(r.LastError, DWORD(MCIERR_CANNOT_LOAD_DRIVER));
  EXPECT_FALSE(r.ErrorText().empty());
}

TEST(RecorderCommands, CloseTwiceClosesOnceAndKeepsTheIdentifier) {
  FakeMci mci;
  {
    TWaveRecorder r(mci.Send());
    ASSERT_TRUE(r.Play({}));
    mci.Calls.clear();
    r.Close();
    r.Close();
    EXPECT_EQ(r.DeviceID, 7u);
    // A closed identifier may be another device's by now: later commands name none.
    r.Stop({});
  }  // destruction after Close
  ASSERT_EQ(mci.Calls.size(), 2u);
  EXPECT_EQ(mci.Calls[0].Message, UINT(MCI_CLOSE));
  EXPECT_EQ(mci.Calls[0].Device, 7u);
  EXPECT_EQ(mci.Calls[1].Message, UINT(MCI_STOP));
  EXPECT_EQ(mci.Calls[1].Device, 0u);
}

TEST(RecorderCommands, DestructionClosesAnOpenDevice) {
  FakeMci mci;
  {
    TWaveRecorder r(mci.Send());
    ASSERT_TRUE(r.Record({}));
    mci.Calls.clear();
  }
  ASSERT_EQ(mci.Calls.size(), 1u);
  EXPECT_EQ(mci.Calls[0].Message, UINT(MCI_CLOSE));
  EXPECT_EQ(mci.Calls[0].Device, 7u);
}

TEST(RecorderNotifications, OnlySuccessReachesTheNewestHandler) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  int played = 0, stopped = 0;
  ASSERT_TRUE(r.Play([&](TComponent* s) { EXPECT_EQ(s, &r); ++played; }));
  for (WPARAM code : {WPARAM(MCI_NOTIFY_SUPERSEDED), WPARAM(MCI_NOTIFY_ABORTED),
                      WPARAM(MCI_NOTIFY_FAILURE), WPARAM(0), WPARAM(3)})
    SendNotify(r, code);
  EXPECT_EQ(played, 0);
  ASSERT_TRUE(r.Stop([&](TComponent*) { ++stopped; }));
  SendNotify(r, MCI_NOTIFY_ABORTED);  // the interrupted play
  SendNotify(r, MCI_NOTIFY_SUCCESSFUL);
  EXPECT_EQ(played, 0);
  EXPECT_EQ(stopped, 1);
  // The device in lParam is not compared.
  SendMessageA(r.Handle(), MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 12345);
  EXPECT_EQ(stopped, 2);
  // An empty handler is allowed.
  ASSERT_TRUE(r.Stop({}));
  SendNotify(r, MCI_NOTIFY_SUCCESSFUL);
  EXPECT_EQ(stopped, 2);
}

TEST(RecorderNotifications, WindowAnswersZero) {
  TWaveRecorder r;
  EXPECT_EQ(SendMessageA(r.Handle(), MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 0), 0);
  EXPECT_EQ(SendMessageA(r.Handle(), WM_USER + 5, 1, 2), 0);
  EXPECT_EQ(SendMessageA(r.Handle(), WM_GETTEXTLENGTH, 0, 0), 0);
  // ...except that it does not stand in the way of the session's end.
  EXPECT_NE(SendMessageA(r.Handle(), WM_QUERYENDSESSION, 0, 0), 0);
}

TEST(RecorderNotifications, HandlerMayStartTheNextCommand) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  int calls = 0;
  // The handler replaces itself while it runs (it starts a new playback).
  std::string big(1000, 'x');  // captured state that would be freed under the running handler
  ASSERT_TRUE(r.Play([&, big](TComponent* s) {
    ++calls;
    static_cast<TWaveRecorder*>(s)->Play([](TComponent*) {});
    EXPECT_EQ(big.size(), 1000u);
  }));
  SendNotify(r, MCI_NOTIFY_SUCCESSFUL);
  EXPECT_EQ(calls, 1);
}

// --- Real recording and playback under Wine ---------------------------------------------------

std::string MicDir() {
  const char* dir = getenv("VOCALET_MIC_DIR");
  return dir ? dir : "";
}

// A Unix path as Wine's Z: drive shows it.
std::string WinePath(const std::string& unix) {
  std::string p = "Z:" + unix;
  std::replace(p.begin(), p.end(), '/', '\\');
  return p;
}

// A piece of a recording whose best correlation with the speech passes this is speech.
constexpr double kMatch = 0.7;

// The spoken text as the build resampled it to `rate`, 16-bit mono.
std::vector<float> SpokenAt(uint32_t rate) {
  std::ifstream in(WinePath(MicDir() + "/ref" + std::to_string(rate) + ".raw"), std::ios::binary);
  std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<float> s;
  for (size_t i = 0; i + 1 < raw.size(); i += 2)
    s.push_back(int16_t(uint8_t(raw[i]) | (uint8_t(raw[i + 1]) << 8)) / 32768.0f);
  return s;
}

class RealMci : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(MicDir().empty()) << "VOCALET_MIC_DIR is not set";
    ASSERT_GT(waveInGetNumDevs(), 0u) << "HOME lacks the scripted microphone";
  }
  TestFolder folder_;
};

struct Format {
  BYTE Channels;
  DWORD Rate;
  WORD Bits;
};

class Recording : public RealMci, public ::testing::WithParamInterface<Format> {};

TEST_P(Recording, HoldsTheSpeechInTheRequestedFormat) {
  const Format f = GetParam();
  const std::string file = folder_.Path() + "\\message.wav";
  int stopped = 0;
  {
    TWaveRecorder r;
    r.Channels = f.Channels;
    r.SamplesPerSec = f.Rate;
    r.BitsPerSample = f.Bits;
    r.FileName = file;
    ASSERT_TRUE(r.Record({})) << r.ErrorText();
    EXPECT_NE(r.DeviceID, 0u);
    // The scripted device is not paced: this gives several times the speech's length.
    Pump(1500);
    ASSERT_TRUE(r.Stop([&](TComponent*) { ++stopped; })) << r.ErrorText();
    ASSERT_TRUE(r.Save()) << r.ErrorText();
    r.Close();
    EXPECT_TRUE(PumpUntil([&] { return stopped > 0; }, 5000));
    Pump(100);
  }
  EXPECT_EQ(stopped, 1);

  TWaveProbe w = TWaveProbe::Read(file);
  ASSERT_TRUE(w.Valid) << file;
  EXPECT_EQ(w.FormatTag, 1);
  EXPECT_EQ(w.Channels, f.Channels);
  EXPECT_EQ(w.SamplesPerSec, f.Rate);
  EXPECT_EQ(w.BitsPerSample, f.Bits);
  EXPECT_EQ(w.BlockAlign, f.Channels * f.Bits / 8);
  EXPECT_EQ(w.AvgBytesPerSec, w.BlockAlign * f.Rate);
  ASSERT_FALSE(w.Data.empty());
  EXPECT_EQ(w.Data.size() % w.BlockAlign, 0u);

  std::vector<float> samples = w.FirstChannel();
  float peak = 0;
  for (float s : samples) peak = std::max(peak, std::fabs(s));
  EXPECT_GT(peak, 0.3f) << "silence";
  std::vector<float> spoken = SpokenAt(f.Rate);
  ASSERT_FALSE(spoken.empty());
  std::string log;
  // Pieces across a dropped stretch match less well; noise stays below 0.4 (see below).
  int found = PiecesOfSpeechFound(samples, spoken, f.Rate, 12, kMatch, &log);
  EXPECT_GE(found, 4) << "pieces of the recording found in the speech: " << log;
}

INSTANTIATE_TEST_SUITE_P(Formats, Recording,
                         ::testing::Values(Format{1, 8000, 16}, Format{2, 44100, 8}),
                         [](const auto& info) {
                           return std::to_string(info.param.Channels) + "ch_" +
                                  std::to_string(info.param.Rate) + "Hz_" +
                                  std::to_string(info.param.Bits) + "bit";
                         });

TEST_F(RealMci, PlayRunsToTheEndAndCallsItsHandlerOnce) {
  const std::string file = folder_.Path() + "\\tone.wav";
  WriteToneWave(file, 2);
  TWaveRecorder r;
  r.FileName = file;
  int played = 0;
  ASSERT_TRUE(r.Play([&](TComponent* s) {
    EXPECT_EQ(s, &r);
    ++played;
  })) << r.ErrorText();
  EXPECT_EQ(r.LastError, 0u);
  EXPECT_TRUE(PumpUntil([&] { return played > 0; }, 30000));
  Pump(300);
  EXPECT_EQ(played, 1);
  r.Close();
  // Once more from the start on the same recorder.
  ASSERT_TRUE(r.Play([&](TComponent*) { ++played; }));
  EXPECT_TRUE(PumpUntil([&] { return played > 1; }, 30000));
  EXPECT_EQ(played, 2);
}

TEST_F(RealMci, StopDuringPlaybackCallsOnlyTheStopHandler) {
  const std::string file = folder_.Path() + "\\long.wav";
  WriteToneWave(file, 120);  // far longer than the test runs, even unpaced
  TWaveRecorder r;
  r.FileName = file;
  int played = 0, stopped = 0;
  ASSERT_TRUE(r.Play([&](TComponent*) { ++played; })) << r.ErrorText();
  Pump(100);
  ASSERT_TRUE(r.Stop([&](TComponent*) { ++stopped; })) << r.ErrorText();
  EXPECT_TRUE(PumpUntil([&] { return stopped > 0; }, 5000));
  Pump(500);
  EXPECT_EQ(stopped, 1);
  EXPECT_EQ(played, 0);
  r.Close();
}

TEST_F(RealMci, PauseAndContinuePlaybackToTheEnd) {
  const std::string file = folder_.Path() + "\\tone.wav";
  WriteToneWave(file, 2);
  TWaveRecorder r;
  r.FileName = file;
  int played = 0, paused = 0;
  ASSERT_TRUE(r.Play([&](TComponent*) { ++played; }));
  ASSERT_TRUE(r.Pause([&](TComponent*) { ++paused; })) << r.ErrorText();
  EXPECT_TRUE(PumpUntil([&] { return paused > 0; }, 5000));
  ASSERT_TRUE(r.PlayFromCurrent([&](TComponent*) { ++played; })) << r.ErrorText();
  EXPECT_TRUE(PumpUntil([&] { return played > 0; }, 30000));
  Pump(300);
  EXPECT_EQ(played, 1);
  EXPECT_EQ(paused, 1);
}

TEST_F(RealMci, PlayOfAMissingFileFails) {
  TWaveRecorder r;
  r.FileName = folder_.Path() + "\\tone.wav";
  WriteToneWave(r.FileName, 1);
  ASSERT_TRUE(r.Play({}));
  ASSERT_NE(r.DeviceID, 0u);
  int played = 0;
  r.FileName = folder_.Path() + "\\missing.wav";
  EXPECT_FALSE(r.Play([&](TComponent*) { ++played; }));
  EXPECT_EQ(r.DeviceID, 0u);
  EXPECT_NE(r.LastError, 0u);
  EXPECT_FALSE(r.ErrorText().empty());
  Pump(300);
  EXPECT_EQ(played, 0);
}

TEST_F(RealMci, CloseTwiceAndDestructionAfterCloseAreHarmless) {
  const std::string file = folder_.Path() + "\\long.wav";
  WriteToneWave(file, 120);
  auto a = std::make_unique<TWaveRecorder>();
  a->FileName = file;
  ASSERT_TRUE(a->Play({}));
  a->Close();
  a->Close();
  // Another recorder's device may get the identifier just given back; destroying the first
  // recorder must leave that device alone.
  TWaveRecorder b;
  b.FileName = file;
  ASSERT_TRUE(b.Play({}));
  a.reset();
  EXPECT_TRUE(b.Stop({})) << b.ErrorText();
  b.Close();
  b.Close();
  Pump(100);
}

TEST_F(RealMci, RecordingWithoutSaveDiscardsIt) {
  const std::string file = folder_.Path() + "\\never.wav";
  TWaveRecorder r;
  r.Channels = 1;
  r.SamplesPerSec = 11025;
  r.BitsPerSample = 8;
  r.FileName = file;
  ASSERT_TRUE(r.Record({})) << r.ErrorText();
  Pump(200);
  ASSERT_TRUE(r.Stop({}));
  r.Close();
  Pump(100);
  EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
