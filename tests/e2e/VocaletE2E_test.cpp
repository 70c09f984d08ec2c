// The real Vocalet.exe under Wine with the scripted microphone: keys pressed as a user would,
// and what the program leaves behind (files, registry) and shows.
#include <gtest/gtest.h>

#include <cstring>

#include "E2E.h"
#include "TestFolder.h"

using namespace e2e;

namespace {

struct VocaletE2E : ::testing::Test {
  TestFolder folder;
  std::string message = folder.Path() + "\\e2e.wav";
  Options options;
  Vocalet app;
  void SetUp() override {
    options.MsgFileName = message;
    WriteOptions(options);
    ChooseLanguage(English);
  }
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
  // A recording saved as it was made, with the speech in it.
  void ExpectSpeechInPcm(const std::string& file) {
    const WaveInfo w = ReadWave(file);
    EXPECT_EQ(w.formatTag, WAVE_FORMAT_PCM) << file;
    EXPECT_EQ(w.bits, 16);
    EXPECT_GT(Rms(w), 300.0) << "silence in " << file;
  }
};

// German was chosen earlier, and another program holds its module file without sharing it.
TEST_F(VocaletE2E, FirstStartInEnglishDespiteAnUnreadableTranslationOffersOnlyRecording) {
  ChooseLanguage(German);
  HANDLE held = CreateFileA((BinDir() + "\\mls\\Vocalet_deu.mls").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  DeleteFileA(HandOffFile().c_str());
  const bool started = app.Start();
  CloseHandle(held);
  ASSERT_TRUE(started);
  EXPECT_EQ(app.StatusLine(), "Click the Record button to record your voice message.");
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
  EXPECT_EQ(app.ExitCode(), 0u);
}

TEST_F(VocaletE2E, RecordPauseResumeStopCompressThenPlayPauseStop) {
  ASSERT_TRUE(app.Start());
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

  // A paused playback cannot end by itself: only F3 ends it, and leaves the message as it is.
  const std::string recorded = ReadAll(message);
  app.Key(VK_F4);
  ASSERT_TRUE(WaitUntil([&] { return app.RecorderPageShown(); }, 10000));
  app.Key(VK_ESCAPE);
  EXPECT_TRUE(CounterStops()) << "Esc did not pause the playback";
  ASSERT_TRUE(app.RecorderPageShown()) << "the playback was over before the pause";
  app.Key(VK_F3);
  ASSERT_TRUE(WaitUntil([&] { return !app.RecorderPageShown(); }, 10000));
  EXPECT_TRUE(ReadAll(message) == recorded);

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
  EXPECT_GT(ReadOptions().PlainSize, pcm - 640 + 44);
  EXPECT_LE(ReadOptions().PlainSize, pcm + 100);
}

TEST_F(VocaletE2E, ClosingDuringARecordingKeepsItUncompressed) {
  options.PlainSize = 4321;
  WriteOptions(options);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.StartRecording());
  Sleep(1500);
  ASSERT_TRUE(app.Quit());
  ExpectSpeechInPcm(message);
  EXPECT_EQ(ReadOptions().PlainSize, 4321);
  Vocalet again;
  ASSERT_TRUE(again.Start());
  EXPECT_EQ(again.StatusLine().rfind("Last message recorded on ", 0), 0u) << again.StatusLine();
  ASSERT_TRUE(again.Quit());
}

// The system ends the session as Windows does: it asks, it tells, and then ends the process
// without any further message. What was recorded and the options must be on disk by then.
TEST_F(VocaletE2E, SessionEndDuringARecordingKeepsTheRecordingAndTheOptions) {
  ASSERT_TRUE(app.Start());
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
  EXPECT_EQ(ReadOptions().PlainSize, static_cast<int>(ReadAll(message).size()));
  EXPECT_GE(ReadOptions().DurationSec, 2);
}

// Another program holds the message file open (a mail program attaching it, say) and lets
// nobody replace it: the new recording is kept beside it, and the error box says where.
TEST_F(VocaletE2E, AMessageFileThatCannotBeReplacedDoesNotCostTheRecording) {
  HANDLE held = CreateFileA(message.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                            nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.StartRecording());
  Sleep(2000);
  app.Key(VK_F3);
  HWND box = nullptr;
  const bool shown = WaitUntil([&] { return (box = app.ShownBox()) != nullptr; }, 20000);
  CloseHandle(held);
  ASSERT_TRUE(shown) << "no error box";
  const std::string kept = folder.Path() + "\\e2e.recording.wav";
  EXPECT_EQ(Vocalet::BoxText(box), "The recording could not be saved as \"" + message +
                                       "\".\r\nIt has been kept in \"" + kept + "\".");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ExpectSpeechInPcm(kept);
  EXPECT_TRUE(WaitUntil([&] { return app.ShownBox() == nullptr; }, 10000));
  ASSERT_TRUE(app.Quit());
}

}  // namespace
