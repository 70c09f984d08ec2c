// The MCI wave recorder: the commands it sends to a stand-in for MCI. Real recording and
// playback through Wine's MCI are the end-to-end tests'.
#include "audio/WaveRecord.h"

#include <gtest/gtest.h>

#include <tuple>

#include "FakeMci.h"

namespace {

// Message, device, flags and callback window of a call.
using Want = std::tuple<UINT, MCIDEVICEID, DWORD_PTR, DWORD_PTR>;

void ExpectCalls(const FakeMci& mci, const std::vector<Want>& want) {
  ASSERT_EQ(mci.Calls.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    const TCall& c = mci.Calls[i];
    EXPECT_EQ(Want(c.Message, c.Device, c.Flags, c.Callback), want[i]) << "call " << i;
  }
}

constexpr DWORD_PTR kOpen = 0x3200;
constexpr DWORD_PTR kFormat = MCI_WAVE_SET_FORMATTAG | MCI_WAVE_SET_CHANNELS |
                              MCI_WAVE_SET_BLOCKALIGN | MCI_WAVE_SET_SAMPLESPERSEC |
                              MCI_WAVE_SET_AVGBYTESPERSEC | MCI_WAVE_SET_BITSPERSAMPLE;

TEST(RecorderCommands, RecordOpensANewFileSetsTheFormatAndRecordsClosingFirstWhatIsOpen) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  r.Channels = 2;
  r.BitsPerSample = 16;
  r.SamplesPerSec = 11025;
  ASSERT_TRUE(r.Record({}));
  ASSERT_TRUE(r.Record({}));
  ExpectCalls(mci, {{MCI_OPEN, 0, kOpen, 0}, {MCI_SET, 7, kFormat, 0}, {MCI_RECORD, 7, 0, 0},
                    {MCI_CLOSE, 7, 0, 0}, {MCI_OPEN, 0, kOpen, 0}, {MCI_SET, 7, kFormat, 0},
                    {MCI_RECORD, 7, 0, 0}});
  EXPECT_EQ(mci.Calls[0].DeviceType, 0x20Au);
  EXPECT_EQ(mci.Calls[0].Element, "");
  const MCI_WAVE_SET_PARMS& f = mci.Calls[1].Format;
  EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(f.nBlockAlign, 4);
  EXPECT_EQ(f.nAvgBytesPerSec, 44100u);
  EXPECT_EQ(f.dwTimeFormat, 0u);
}

TEST(RecorderCommands, ARefusedFormatIsLeftToTheRecordCommandAFailedOpenEndsTheOperation) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  mci.Results[MCI_SET] = MCIERR_OUTOFRANGE;
  EXPECT_TRUE(r.Record({}));
  EXPECT_EQ(r.LastError, 0u);
  mci.Results[MCI_RECORD] = MCIERR_WAVE_INPUTSINUSE;
  EXPECT_FALSE(r.Record({}));
  EXPECT_EQ(r.LastError, DWORD(MCIERR_WAVE_INPUTSINUSE));

  mci.Calls.clear();
  mci.Results[MCI_OPEN] = MCIERR_FILE_NOT_FOUND;
  r.FileName = "C:\\nowhere.wav";
  EXPECT_FALSE(r.Play([](TComponent*) {}));
  EXPECT_EQ(r.DeviceID, 0u);
  EXPECT_EQ(r.LastError, DWORD(MCIERR_FILE_NOT_FOUND));
  EXPECT_FALSE(r.Record({}));
  ExpectCalls(mci, {{MCI_CLOSE, 7, 0, 0}, {MCI_OPEN, 0, kOpen, 0}, {MCI_OPEN, 0, kOpen, 0}});
  EXPECT_EQ(mci.Calls[1].Element, "C:\\nowhere.wav");
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
  EXPECT_TRUE(r.Pause({}) && r.Resume() && r.PlayFromCurrent({}) && r.Stop({}) && r.Save());
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
    r.Close();
    r.Close();
    r.Resume();  // a closed identifier may be another device's by now
    ASSERT_TRUE(r.Record({}));
  }  // destruction closes an open device
  ExpectCalls(mci, {{MCI_CLOSE, 7, 0, 0}, {MCI_RESUME, 0, 0, 0}, {MCI_OPEN, 0, kOpen, 0},
                    {MCI_SET, 7, kFormat, 0}, {MCI_RECORD, 7, 0, 0}, {MCI_CLOSE, 7, 0, 0}});
}

TEST(RecorderNotifications, OnlySuccessReachesTheNewestHandler) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  auto notify = [&](WPARAM code, LPARAM device = 7) {
    SendMessageA(r.Handle(), MM_MCINOTIFY, code, device);
  };
  int played = 0, stopped = 0;
  ASSERT_TRUE(r.Play([&](TComponent* s) { played += s == &r; }));
  for (WPARAM code : {MCI_NOTIFY_SUPERSEDED, MCI_NOTIFY_ABORTED, MCI_NOTIFY_FAILURE, 0, 3})
    notify(code);
  EXPECT_EQ(played, 0);
  ASSERT_TRUE(r.Stop([&](TComponent*) { ++stopped; }));
  notify(MCI_NOTIFY_ABORTED);  // the interrupted play
  notify(MCI_NOTIFY_SUCCESSFUL, 12345);  // the device is not compared
  EXPECT_EQ(played, 0);
  EXPECT_EQ(stopped, 1);
  ASSERT_TRUE(r.Stop({}));  // an empty handler is allowed
  notify(MCI_NOTIFY_SUCCESSFUL);
  EXPECT_EQ(stopped, 1);
  // The window does not stand in the way of the session's end.
  EXPECT_NE(SendMessageA(r.Handle(), WM_QUERYENDSESSION, 0, 0), 0);
}

TEST(RecorderNotifications, TheHandlerMayStartTheNextCommand) {
  FakeMci mci;
  TWaveRecorder r(mci.Send());
  int calls = 0;
  std::string big(1000, 'x');  // captured state that would be freed under the running handler
  ASSERT_TRUE(r.Play([&, big](TComponent* s) {
    ++calls;
    static_cast<TWaveRecorder*>(s)->Play([](TComponent*) {});
    EXPECT_EQ(big.size(), 1000u);
  }));
  SendMessageA(r.Handle(), MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 7);
  EXPECT_EQ(calls, 1);
}

}  // namespace
