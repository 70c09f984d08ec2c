// The MCI wave recorder: the commands it sends (to a stand-in for MCI), and real recording
// and playback under Wine with the scripted microphone of the test's HOME.
#include "audio/WaveRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "FakeMci.h"
#include "MessagePump.h"
#include "TestFolder.h"
#include "convert/TestWaves.h"

namespace {

using namespace vocalet::test;

void SendNotify(TWaveRecorder& r, WPARAM code) {
  SendMessageA(r.Handle(), MM_MCINOTIFY, code, r.DeviceID);
}

struct Want {
  UINT msg;
  MCIDEVICEID device;
  DWORD_PTR flags, callback;
};

void ExpectCalls(const FakeMci& mci, const std::vector<Want>& want) {
  ASSERT_EQ(mci.Calls.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(mci.Calls[i].Message, want[i].msg);
    EXPECT_EQ(mci.Calls[i].Device, want[i].device);
    EXPECT_EQ(mci.Calls[i].Flags, want[i].flags);
    EXPECT_EQ(mci.Calls[i].Callback, want[i].callback);
  }
}

constexpr DWORD_PTR kOpen = 0x3200;
constexpr DWORD_PTR kFormat = MCI_WAVE_SET_FORMATTAG | MCI_WAVE_SET_CHANNELS |
                              MCI_WAVE_SET_BLOCKALIGN | MCI_WAVE_SET_SAMPLESPERSEC |
                              MCI_WAVE_SET_AVGBYTESPERSEC | MCI_WAVE_SET_BITSPERSAMPLE;

TEST(RecorderCommands, RecordOpensANewFileSetsTheFormatAndRecordsClosingFirstWhatIsOpen) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  ASSERT_TRUE(r.Record({}));
  EXPECT_EQ(r.DeviceID, 7u);
  ExpectCalls(mci, {{MCI_OPEN, 0, kOpen, 0}, {MCI_SET, 7, kFormat, 0}, {MCI_RECORD, 7, 0, 0}});
  EXPECT_EQ(mci.Calls[0].DeviceType, 0x20Au);
  EXPECT_EQ(mci.Calls[0].Element, "");
  mci.Calls.clear();
  ASSERT_TRUE(r.Record({}));
  ExpectCalls(mci, {{MCI_CLOSE, 7, 0, 0}, {MCI_OPEN, 0, kOpen, 0}, {MCI_SET, 7, kFormat, 0},
                    {MCI_RECORD, 7, 0, 0}});
  EXPECT_FALSE(mci.Calls[0].HasParams);
}

TEST(RecorderCommands, TheFormatSet) {
  struct Case { BYTE ch; WORD bits; DWORD rate; WORD block; DWORD bytes; };
  for (Case c : {Case{1, 8, 8000, 1, 8000}, Case{1, 16, 11025, 2, 22050},
                 Case{2, 8, 22050, 2, 44100}, Case{2, 16, 44100, 4, 176400}}) {
    SCOPED_TRACE(c.rate);
    FakeMci mci;
    TWaveRecorder r(mci.Send());
    r.Channels = c.ch;
    r.BitsPerSample = c.bits;
    r.SamplesPerSec = c.rate;
    EXPECT_TRUE(r.SetFormat());
    ASSERT_EQ(mci.Calls.size(), 1u);
    const MCI_WAVE_SET_PARMS& f = mci.Calls[0].Format;
    EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(f.nChannels, c.ch);
    EXPECT_EQ(f.wBitsPerSample, c.bits);
    EXPECT_EQ(f.nSamplesPerSec, c.rate);
    EXPECT_EQ(f.nBlockAlign, c.block);
    EXPECT_EQ(f.nAvgBytesPerSec, c.bytes);
    EXPECT_EQ(f.dwTimeFormat, 0u);
  }
}

TEST(RecorderCommands, ARefusedFormatLeavesTheDecisionToTheRecordCommand) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  mci.Results[MCI_SET] = MCIERR_OUTOFRANGE;
  EXPECT_TRUE(r.Record({}));
  EXPECT_EQ(r.LastError, 0u);
  EXPECT_EQ(CountOf(mci, MCI_RECORD), 1);
  mci.Results[MCI_RECORD] = MCIERR_WAVE_INPUTSINUSE;
  EXPECT_FALSE(r.Record({}));
  EXPECT_EQ(r.LastError, DWORD(MCIERR_WAVE_INPUTSINUSE));
}

TEST(RecorderCommands, AFailedOpenSendsNothingMoreAndClearsTheDevice) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  mci.Results[MCI_OPEN] = MCIERR_FILE_NOT_FOUND;
  r.FileName = "C:\\nowhere.wav";
  EXPECT_FALSE(r.Play([](TComponent*) {}));
  EXPECT_EQ(r.DeviceID, 0u);
  EXPECT_EQ(r.LastError, DWORD(MCIERR_FILE_NOT_FOUND));
  EXPECT_FALSE(r.Record({}));
  ExpectCalls(mci, {{MCI_OPEN, 0, kOpen, 0}, {MCI_OPEN, 0, kOpen, 0}});
  EXPECT_EQ(mci.Calls[0].Element, "C:\\nowhere.wav");
}

TEST(RecorderCommands, EachOperationSendsItsCommand) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  r.FileName = "C:\\msg.wav";
  mci.Results[MCI_PLAY] = MCIERR_HARDWARE;
  // The result is the open's; the play command's code is left in LastError.
  ASSERT_TRUE(r.Play({}));
  EXPECT_EQ(r.LastError, DWORD(MCIERR_HARDWARE));
  mci.Results.clear();
  EXPECT_TRUE(r.Pause({}));
  EXPECT_TRUE(r.Resume());
  EXPECT_TRUE(r.PlayFromCurrent({}));
  EXPECT_TRUE(r.Stop({}));
  EXPECT_TRUE(r.Save());
  const auto window = reinterpret_cast<DWORD_PTR>(r.Handle());
  ExpectCalls(mci, {{MCI_OPEN, 0, kOpen, 0}, {MCI_PLAY, 7, MCI_NOTIFY, window},
                    {MCI_PAUSE, 7, MCI_NOTIFY, window}, {MCI_RESUME, 7, 0, 0},
                    {MCI_PLAY, 7, MCI_NOTIFY, window}, {MCI_STOP, 7, MCI_NOTIFY, window},
                    {MCI_SAVE, 7, MCI_SAVE_FILE, 0}});
  EXPECT_EQ(mci.Calls[0].Element, "C:\\msg.wav");
  EXPECT_EQ(mci.Calls[6].Element, "C:\\msg.wav");
  mci.Results[MCI_SAVE] = MCIERR_CANNOT_LOAD_DRIVER;
  EXPECT_FALSE(r.Save());
  EXPECT_EQ(r.LastError, DWORD(MCIERR_CANNOT_LOAD_DRIVER));
  EXPECT_FALSE(r.ErrorText().empty());
}

TEST(RecorderCommands, ClosingTwiceClosesOnceAndLaterCommandsNameNoDevice) {
  FakeMci mci;
  {
    TWaveRecorder r(mci.Send());
    ASSERT_TRUE(r.Record({}));
    mci.Calls.clear();
  }
  ExpectCalls(mci, {{MCI_CLOSE, 7, 0, 0}});  // destruction closes an open device
  TWaveRecorder r(mci.Send());
  ASSERT_TRUE(r.Record({}));
  mci.Calls.clear();
  r.Close();
  r.Close();
  EXPECT_EQ(r.DeviceID, 7u);
  r.Resume();  // a closed identifier may be another device's by now
  ExpectCalls(mci, {{MCI_CLOSE, 7, 0, 0}, {MCI_RESUME, 0, 0, 0}});
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
  ASSERT_TRUE(r.Stop({}));  // an empty handler is allowed
  SendNotify(r, MCI_NOTIFY_SUCCESSFUL);
  EXPECT_EQ(stopped, 2);
  // The window answers 0, but does not stand in the way of the session's end.
  EXPECT_EQ(SendMessageA(r.Handle(), WM_USER + 5, 1, 2), 0);
  EXPECT_NE(SendMessageA(r.Handle(), WM_QUERYENDSESSION, 0, 0), 0);
}

TEST(RecorderNotifications, HandlerMayStartTheNextCommand) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  int calls = 0;
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

// The best normalized correlation of `piece` with any stretch of `reference`.
__attribute__((optimize("O2"))) double BestMatch(const float* piece, size_t n,
                                                 const std::vector<float>& reference) {
  double pp = 0, best = 0;
  for (size_t i = 0; i < n; ++i) pp += double(piece[i]) * piece[i];
  for (size_t off = 0; off + n <= reference.size(); off += 1) {
    double pr = 0, rr = 0;
    for (size_t i = 0; i < n; ++i) {
      pr += double(piece[i]) * reference[off + i];
      rr += double(reference[off + i]) * reference[off + i];
    }
    if (rr > pp * 1e-4) best = std::max(best, pr / std::sqrt(pp * rr));
  }
  return best;
}

// How many of 12 loud 20 ms pieces spread over `recorded` are found in `spoken` (both at
// 8000 Hz). The scripted capture is not paced and drops stretches: pieces, not the whole.
int PiecesOfSpeechFound(const std::vector<float>& recorded, const std::vector<float>& spoken) {
  const size_t n = 160;
  std::vector<size_t> loud;
  for (size_t i = 0; i + n <= recorded.size(); i += n) {
    double e = 0;
    for (size_t j = i; j < i + n; ++j) e += double(recorded[j]) * recorded[j];
    if (std::sqrt(e / n) > 0.05) loud.push_back(i);
  }
  int found = 0;
  for (size_t k = 0; k < 12 && !loud.empty(); ++k)
    found += BestMatch(&recorded[loud[loud.size() * k / 12]], n, spoken) > 0.7;
  return found;
}

struct RealMci : ::testing::Test {
  void SetUp() override {
    ASSERT_FALSE(MicDir().empty()) << "VOCALET_MIC_DIR is not set";
    ASSERT_GT(waveInGetNumDevs(), 0u) << "HOME lacks the scripted microphone";
  }
  // An 8-bit mono 8000 Hz file of `seconds` of a quiet tone.
  std::string Tone(const char* name, int seconds) {
    Bytes data(8000 * seconds);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(128 + int(20 * std::sin(i * 0.3)));
    WaveParams p;
    p.bits = 8;
    const std::string file = folder.Path() + "\\" + name;
    WriteFile(file, MakeWave(p, data));
    return file;
  }
  TestFolder folder;
};

TEST_F(RealMci, ARecordingHoldsTheSpeechInTheRequestedFormatOnlyOnceSaved) {
  const std::string file = folder.Path() + "\\message.wav";
  int stopped = 0;
  {
    TWaveRecorder r;
    r.Channels = 2;
    r.SamplesPerSec = 8000;
    r.BitsPerSample = 16;
    r.FileName = file;
    ASSERT_TRUE(r.Record({})) << r.ErrorText();
    Pump(1500);  // not paced: several times the speech's length
    ASSERT_TRUE(r.Stop([&](TComponent*) { ++stopped; })) << r.ErrorText();
    EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES) << "before Save";
    ASSERT_TRUE(r.Save()) << r.ErrorText();
    r.Close();
    EXPECT_TRUE(PumpUntil([&] { return stopped > 0; }, 5000));
    Pump(100);
  }
  EXPECT_EQ(stopped, 1);

  Bytes b;
  ASSERT_TRUE(ReadFile(file, b));
  auto chunk = [&](const char* id) {
    return size_t(std::search(b.begin() + 12, b.end(), id, id + 4) - b.begin()) + 8;
  };
  const size_t fmt = chunk("fmt "), data = chunk("data");
  ASSERT_LE(data, b.size());
  EXPECT_EQ(b[fmt] | b[fmt + 1] << 8, 1);  // PCM
  EXPECT_EQ(b[fmt + 2] | b[fmt + 3] << 8, 2);
  EXPECT_EQ(GetU32(b, fmt + 4), 8000u);
  EXPECT_EQ(GetU32(b, fmt + 8), 32000u);
  EXPECT_EQ(b[fmt + 12] | b[fmt + 13] << 8, 4);
  EXPECT_EQ(b[fmt + 14] | b[fmt + 15] << 8, 16);
  const size_t size = std::min<size_t>(GetU32(b, data - 4), b.size() - data);
  EXPECT_EQ(size % 4, 0u);
  std::vector<float> recorded, spoken;
  for (size_t i = data; i + 4 <= data + size; i += 4)
    recorded.push_back(int16_t(b[i] | b[i + 1] << 8) / 32768.0f);  // the left channel
  std::string ref = "Z:" + MicDir() + "/ref8000.raw";
  std::replace(ref.begin(), ref.end(), '/', '\\');
  for (int16_t v : ReadRaw16(ref)) spoken.push_back(v / 32768.0f);
  ASSERT_FALSE(spoken.empty());
  EXPECT_GE(PiecesOfSpeechFound(recorded, spoken), 4);
}

TEST_F(RealMci, PlaybackPausesContinuesToTheEndAndPlaysAgain) {
  TWaveRecorder r;
  r.FileName = Tone("tone.wav", 2);
  int played = 0, paused = 0;
  ASSERT_TRUE(r.Play([&](TComponent* s) { EXPECT_EQ(s, &r); ++played; })) << r.ErrorText();
  EXPECT_EQ(r.LastError, 0u);
  ASSERT_TRUE(r.Pause([&](TComponent*) { ++paused; })) << r.ErrorText();
  EXPECT_TRUE(PumpUntil([&] { return paused > 0; }, 5000));
  ASSERT_TRUE(r.PlayFromCurrent([&](TComponent*) { ++played; })) << r.ErrorText();
  EXPECT_TRUE(PumpUntil([&] { return played > 0; }, 30000));
  Pump(300);
  EXPECT_EQ(played, 1);
  EXPECT_EQ(paused, 1);
  r.Close();
  ASSERT_TRUE(r.Play([&](TComponent*) { ++played; }));  // from the start on the same recorder
  EXPECT_TRUE(PumpUntil([&] { return played > 1; }, 30000));
  EXPECT_EQ(played, 2);
  // A missing file fails and gives the device back.
  r.FileName = folder.Path() + "\\missing.wav";
  EXPECT_FALSE(r.Play([&](TComponent*) { ++played; }));
  EXPECT_EQ(r.DeviceID, 0u);
  EXPECT_FALSE(r.ErrorText().empty());
  Pump(300);
  EXPECT_EQ(played, 2);
}

TEST_F(RealMci, StopCallsOnlyItsHandlerAndClosingLeavesOtherDevicesAlone) {
  const std::string file = Tone("long.wav", 120);  // far longer than the test runs
  auto a = std::make_unique<TWaveRecorder>();
  a->FileName = file;
  int played = 0, stopped = 0;
  ASSERT_TRUE(a->Play([&](TComponent*) { ++played; })) << a->ErrorText();
  Pump(100);
  ASSERT_TRUE(a->Stop([&](TComponent*) { ++stopped; })) << a->ErrorText();
  EXPECT_TRUE(PumpUntil([&] { return stopped > 0; }, 5000));
  Pump(500);
  EXPECT_EQ(stopped, 1);
  EXPECT_EQ(played, 0);
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
  Pump(100);
}

}  // namespace
