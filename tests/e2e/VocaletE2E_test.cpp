// Recording with the real Vocalet.exe under Wine: keys pressed as a user would, a scripted
// microphone, and what the program leaves behind (files, registry) and shows.
#include <cstring>

#include "E2E.h"

using namespace e2e;

namespace {

const char kInvite[] = "Click the Record button to record your voice message.";

struct Recording : Scenario {
  // The mouse walks along the status line until the details label's hint shows.
  std::string DetailsHint() {
    RECT r;
    GetClientRect(app.Main(), &r);
    MapWindowPoints(app.Main(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    char text[1024] = {};
    for (int x = r.left + 120; x < r.left + 400 && !strstr(text, "Message duration"); x += 8) {
      SetCursorPos(x, r.bottom - 10);
      Sleep(60);
      HWND hint = FindWindowA("VocaletHint", nullptr);
      if (hint && IsWindowVisible(hint)) GetWindowTextA(hint, text, sizeof text);
    }
    return text;
  }
  // The seconds counter ticks every second: two looks two seconds apart see the same only
  // while it stands.
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
  // The box the program shows: its text, then OK.
  std::string AnswerBox() {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = app.ShownBox()) != nullptr; }, 20000)) return "no box";
    const std::string text = Vocalet::BoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !app.ShownBox(); }, 10000) ? text : "the box stays: " + text;
  }
  static void ExpectSpeechInPcm(const std::string& file) {  // saved as recorded
    const WaveInfo w = ReadWave(file);
    EXPECT_EQ(w.formatTag, WAVE_FORMAT_PCM) << file;
    EXPECT_EQ(w.bits, 16);
    EXPECT_GT(Rms(w), 300.0) << "silence in " << file;
  }
};

// German was chosen earlier, and another program holds its module file without sharing it.
TEST_F(Recording, FirstStartInEnglishDespiteAnUnreadableTranslationOffersOnlyRecording) {
  ChooseLanguage(German);
  HANDLE held = CreateFileA((BinDir() + "\\mls\\Vocalet_deu.mls").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  DeleteFileA(HandOffFile().c_str());
  const bool started = Start();
  CloseHandle(held);
  ASSERT_TRUE(started);
  EXPECT_EQ(app.StatusLine(), kInvite);
  EXPECT_TRUE(app.ToolButtonEnabled(Vocalet::btnRecord));
  for (auto b : {Vocalet::btnPlay, Vocalet::btnSend, Vocalet::btnAttach})
    EXPECT_FALSE(app.ToolButtonEnabled(b)) << "button " << b;
  // Send, Save As and Attach do nothing without a message. Keys are handled in order: once
  // F2 has shown the recorder page, the three before it have had their turn.
  EXPECT_FALSE(app.RecorderPageShown());
  app.Key(VK_F5);
  app.Key(VK_F12);
  app.Key('A', true);
  ASSERT_TRUE(app.StartRecording()) << "a window took the keys away from the main window";
  EXPECT_FALSE(Exists(HandOffFile())) << "F5 wrote the hand-off file";
  EXPECT_FALSE(ProcessRuns("SendMail.exe")) << "F5 started the mail-sender";
  EXPECT_EQ(app.ShownBox(), nullptr) << "F12 opened a dialog";
  EXPECT_EQ(app.Shown("TDragNAttachForm"), nullptr) << "Ctrl+A opened Drag & Attach";
  ASSERT_TRUE(app.Quit());
  DWORD code = 1;
  GetExitCodeProcess(app.Process(), &code);
  EXPECT_EQ(code, 0u);
}

TEST_F(Recording, RecordPauseResumeStopCompressThenPlayPauseStop) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(app.StartRecording());
  ASSERT_TRUE(CounterMoves()) << "the seconds counter does not count";
  app.Key(VK_ESCAPE);
  EXPECT_TRUE(CounterStops()) << "Esc did not pause the recording";
  app.Key(VK_ESCAPE);
  EXPECT_TRUE(CounterMoves()) << "Esc did not resume the recording";
  app.Key(VK_F3);
  ASSERT_TRUE(app.WaitStatus("Last message recorded on "));
  EXPECT_FALSE(app.RecorderPageShown());
  for (auto b : {Vocalet::btnPlay, Vocalet::btnSend, Vocalet::btnAttach})
    EXPECT_TRUE(app.ToolButtonEnabled(b)) << "button " << b;
  const WaveInfo w = ReadWave(message);
  EXPECT_EQ(w.formatTag, WAVE_FORMAT_GSM610);
  EXPECT_EQ(w.blockAlign, 65);
  EXPECT_GT(Rms(DecodeGsm(w)), 300.0) << "the message holds silence";
  const std::string hint = DetailsHint();
  for (const char* part : {"Message duration ", "GSM 6.10 Wave, 8 KHz, Mono, 16 Bit",
                           "Compression ratio"})
    EXPECT_NE(hint.find(part), std::string::npos) << hint;

  // A paused playback (of a message longer than the test) cannot end by itself: only F3 ends
  // it, and leaves the message as it is.
  const std::string tone = PcmTone(60);
  WriteAll(message, tone);
  app.Key(VK_F4);
  ASSERT_TRUE(WaitUntil([&] { return app.RecorderPageShown(); }, 10000));
  ASSERT_TRUE(CounterMoves()) << "the playback does not count";  // it runs: Esc may pause it
  app.Key(VK_ESCAPE);
  EXPECT_TRUE(CounterStops()) << "Esc did not pause the playback";
  ASSERT_TRUE(app.RecorderPageShown()) << "the playback ended";
  app.Key(VK_F3);
  ASSERT_TRUE(WaitUntil([&] { return !app.RecorderPageShown(); }, 10000));
  EXPECT_TRUE(ReadAll(message) == tone);

  // Another recording makes no more windows and leaves no handle on the message.
  const int windows = app.WindowCount();
  ASSERT_TRUE(app.StartRecording());
  Sleep(500);
  app.Key(VK_F3);
  EXPECT_TRUE(WaitUntil([&] {
    HANDLE h = CreateFileA(message.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    CloseHandle(h);
    return h != INVALID_HANDLE_VALUE && !app.RecorderPageShown();
  }, 20000)) << "the message stays open";
  EXPECT_EQ(app.WindowCount(), windows);
  ASSERT_TRUE(app.Quit());
  // The size before the compression: the PCM (8 kHz, 16 bits) that the GSM blocks hold, less
  // the last block's padding, and a header.
  const long pcm = 2 * static_cast<long>(DecodeGsm(ReadWave(message)).size());
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

// The system ends the session as Windows does: it asks, it tells, and then ends the process
// without any further message. What was recorded and the options must be on disk by then.
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

// Another program holds the message file open (a mail program attaching it, say) and lets
// nobody replace it: the new recording is kept beside it, and the error box says where.
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

TEST_F(Recording, WithoutAMicrophoneNothingIsRecordedAndThereIsStillNothingToSend) {
  SetMicrophone(Mic::None);
  DeleteFileA(HandOffFile().c_str());
  options["DurationSec"] = "17";
  ASSERT_TRUE(Start());
  // A recording that cannot start says so at once; one that runs without a device says so
  // when it is stopped.
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
  EXPECT_FALSE(ProcessRuns("SendMail.exe") || Exists(HandOffFile())) << "F5 reached the mail program";
  ASSERT_TRUE(app.Quit());
  EXPECT_EQ(SavedOption("DurationSec"), 17) << "the duration of no message was kept";
}

}  // namespace
