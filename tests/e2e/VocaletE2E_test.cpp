// Recording with the real Vocalet.exe: keys as a user presses them, a scripted microphone.
#include <shlobj.h>

#include "E2E.h"

using namespace e2e;

namespace {

const char kInvite[] = "Click the Record button to record your voice message.";

struct Recording : Scenario {
  // The counter ticks every second: looks two seconds apart agree only while it stands.
  bool CounterStops() {
    return WaitUntil([&] {
      const auto before = app.SecondsShown();
      Sleep(2000);
      return app.SecondsShown() == before;
    }, 10000);
  }
  bool CounterMoves() {
    const auto before = app.SecondsShown();
    return WaitUntil([&] { return app.SecondsShown() != before; }, 6000);
  }
  std::string AnswerBox() {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = app.ShownBox()) != nullptr; }, 20000)) return "no box";
    const std::string text = Vocalet::BoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !app.ShownBox(); }, 10000) ? text : "the box stays: " + text;
  }
  static void ExpectSpeechInPcm(const std::string& file) {
    const WaveInfo w = ReadWave(file);
    EXPECT_EQ(w.formatTag, WAVE_FORMAT_PCM) << file;
    EXPECT_EQ(w.bits, 16);
    EXPECT_GT(Rms(w), 300.0) << "silence in " << file;
  }
};

// A paused playback of a message longer than the test ends only by F3, leaving it as it is.
TEST_F(Recording, PlayPauseStopThenRecordPauseResumeStopCompress) {
  const std::string tone = PcmTone(60);
  WriteAll(message, tone);
  ASSERT_TRUE(Start());
  app.Key(VK_F4);
  ASSERT_TRUE(WaitUntil([&] { return app.RecorderPageShown(); }, 10000));
  ASSERT_TRUE(CounterMoves()) << "the playback does not count";  // it runs: Esc may pause it
  app.Key(VK_ESCAPE);
  EXPECT_TRUE(CounterStops()) << "Esc did not pause the playback";
  ASSERT_TRUE(app.RecorderPageShown()) << "the playback ended";
  app.Key(VK_F3);
  ASSERT_TRUE(WaitUntil([&] { return !app.RecorderPageShown(); }, 10000));
  EXPECT_TRUE(ReadAll(message) == tone);

  ASSERT_TRUE(app.StartRecording());
  ASSERT_TRUE(CounterMoves()) << "the seconds counter does not count";
  app.Key(VK_ESCAPE);
  EXPECT_TRUE(CounterStops()) << "Esc did not pause the recording";
  app.Key(VK_ESCAPE);
  EXPECT_TRUE(CounterMoves()) << "Esc did not resume the recording";
  app.Key(VK_F3);
  ASSERT_TRUE(WaitUntil([&] {
    return !app.RecorderPageShown() && ReadWave(message).formatTag == WAVE_FORMAT_GSM610;
  }, 30000)) << "not compressed";
  EXPECT_TRUE(WaitUntil([&] {  // by the playback or the recording
    HANDLE h = CreateFileA(message.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    CloseHandle(h);
    return h != INVALID_HANDLE_VALUE;
  }, 10000)) << "the message stays open";
  for (auto b : {Vocalet::btnPlay, Vocalet::btnSend, Vocalet::btnAttach})
    EXPECT_TRUE(app.ToolButtonEnabled(b)) << "button " << b;
  const WaveInfo w = ReadWave(message);
  EXPECT_EQ(w.blockAlign, 65);
  EXPECT_GT(Rms(w), 300.0) << "the message holds silence";
  ASSERT_TRUE(app.Quit());
  // The size before the compression: the GSM blocks' PCM less the last one's padding, a header.
  const long pcm = 2 * static_cast<long>(Samples(w).size());
  EXPECT_GT(SavedOption("PlainSize"), pcm - 640 + 44);
  EXPECT_LE(SavedOption("PlainSize"), pcm + 100);
}

TEST_F(Recording, ClosingDuringARecordingKeepsItUncompressed) {
  options["PlainSize"] = "4321";
  ASSERT_TRUE(Start());
  ASSERT_TRUE(app.StartRecording());
  Sleep(1500);
  ASSERT_TRUE(app.Quit());
  ExpectSpeechInPcm(message);
  EXPECT_EQ(SavedOption("PlainSize"), 4321);
  Vocalet again;
  ASSERT_TRUE(again.Start());
  EXPECT_EQ(again.StatusLine().rfind("Last message recorded on ", 0), 0u) << again.StatusLine();
  ASSERT_TRUE(again.Quit());
}

// As Windows does: it asks, it tells, then ends the process without another message.
TEST_F(Recording, SessionEndDuringARecordingKeepsTheRecordingAndTheOptions) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(app.StartRecording());
  Sleep(2500);
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(app.Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                  SMTO_NORMAL, 20000, &answer));
  EXPECT_TRUE(answer) << "the program vetoed the end of the session";
  ASSERT_TRUE(SendMessageTimeoutA(app.Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                  SMTO_NORMAL, 30000, &answer));
  TerminateProcess(app.Process(), 1);
  ASSERT_TRUE(app.WaitExit(10000));
  ExpectSpeechInPcm(message);
  EXPECT_EQ(SavedOption("PlainSize"), static_cast<int>(ReadAll(message).size()));
  EXPECT_GE(SavedOption("DurationSec"), 2);
}

// A mail program attaching the message holds it open: the new recording is kept beside it.
TEST_F(Recording, AMessageFileThatCannotBeReplacedDoesNotCostTheRecording) {
  HANDLE held = CreateFileA(message.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                            nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(app.StartRecording());
  Sleep(2000);
  app.Key(VK_F3);
  WaitUntil([&] { return app.ShownBox() != nullptr; }, 20000);
  CloseHandle(held);
  const std::string kept = folder.Path() + "\\message.recording.wav";
  EXPECT_EQ(AnswerBox(), "The recording could not be saved as \"" + message +
                             "\".\r\nIt has been kept in \"" + kept + "\".");
  ExpectSpeechInPcm(kept);
  ASSERT_TRUE(app.Quit());
}

TEST_F(Recording, ASilentRecordingIsKeptWithAWarningAboutTheMicrophoneLevel) {
  SetMicrophone(Mic::Silence);
  options["GSM610"] = "0";
  ASSERT_TRUE(Start());
  ASSERT_TRUE(app.Record());
  EXPECT_EQ(AnswerBox(), "The message seems to be silent. Please check your microphone, and "
                         "press Ctrl+M to adjust the microphone level.");
  EXPECT_GT(ReadWave(message).data.size(), 0u) << "not kept: the user may have whispered";
  EXPECT_TRUE(app.ToolButtonEnabled(Vocalet::btnSend));
  ASSERT_TRUE(app.Quit());
}

// German was chosen earlier, but another program holds its module file unshared; and the
// sound system has no capture device.
TEST_F(Recording, UnreadableTranslationAndNoMicrophoneStartInEnglishAndRecordNothing) {
  ChooseLanguage(German);
  SetMicrophone(Mic::None);
  char appData[MAX_PATH] = {};  // where the mail-sender finds the message
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
  const std::string handOff = std::string(appData) + "\\Quindle\\Vocalet\\eMail.dat";
  DeleteFileA(handOff.c_str());
  options["DurationSec"] = "17";
  HANDLE held = CreateFileA((BinDir() + "\\mls\\Vocalet_deu.mls").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const bool started = Start();
  CloseHandle(held);
  ASSERT_TRUE(started);
  EXPECT_EQ(app.StatusLine(), kInvite);
  // Said at once when the recording cannot start, else when it is stopped.
  app.Key(VK_F2);
  Sleep(1500);
  if (!app.ShownBox()) app.Key(VK_F3);
  const std::string said = AnswerBox();
  EXPECT_EQ(said.rfind("Nothing was recorded.", 0), 0u) << said;
  EXPECT_FALSE(Exists(message)) << "an empty recording became the message";
  EXPECT_FALSE(Exists(folder.Path() + "\\message.recording.wav")) << "nothing is kept of nothing";
  EXPECT_TRUE(WaitUntil([&] { return !app.RecorderPageShown(); }, 10000));
  EXPECT_EQ(app.StatusLine(), kInvite);
  for (auto b : {Vocalet::btnPlay, Vocalet::btnSend, Vocalet::btnAttach})
    EXPECT_FALSE(app.ToolButtonEnabled(b)) << "button " << b;
  app.Key(VK_F5);
  Sleep(1500);
  EXPECT_FALSE(ProcessRuns("SendMail.exe") || Exists(handOff)) << "F5 reached the mail program";
  ASSERT_TRUE(app.Quit());
  DWORD code = 1;
  GetExitCodeProcess(app.Process(), &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(SavedOption("DurationSec"), 17) << "the duration of no message was kept";
}

}  // namespace
