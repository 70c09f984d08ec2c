// The real Vocalet.exe under Wine: keys pressed as a user would, a scripted microphone, and
// what the program leaves behind (files, registry) and shows (status line, hint, buttons).
#include <gtest/gtest.h>

#include <cstring>

#include "E2E.h"
#include "TestFolder.h"

using namespace e2e;

namespace {

struct VocaletE2E : ::testing::Test {
  TestFolder folder;
  std::string message;
  Options options;
  void SetUp() override {
    message = folder.Path() + "\\e2e.wav";
    options.MsgFileName = message;
    WriteOptions(options);
  }
  static std::string HintOverDetails(Vocalet& app) {
    // The details label sits right of the status text; walk the mouse along the status line
    // until the hint window shows.
    HWND main = app.Main();
    for (int x = 120; x < 400; x += 8) {
      RECT r;
      GetClientRect(main, &r);
      POINT origin{0, 0};
      ClientToScreen(main, &origin);
      SetCursorPos(origin.x + x, origin.y + r.bottom - 10);
      Sleep(60);
      HWND hint = FindWindowA("VocaletHint", nullptr);
      if (hint && IsWindowVisible(hint)) {
        char text[1024] = {};
        GetWindowTextA(hint, text, sizeof text);
        if (std::string(text).find("Message duration") != std::string::npos) return text;
      }
    }
    return "";
  }
  static bool WaitStatus(Vocalet& app, const std::string& prefix, DWORD ms = 30000) {
    return WaitUntil([&] { return app.StatusLine().rfind(prefix, 0) == 0; }, ms);
  }
};

TEST_F(VocaletE2E, FirstStartInvitesToRecordWithDeliveryDisabled) {
  Vocalet app;
  ASSERT_TRUE(app.Start());
  EXPECT_EQ(app.StatusLine(), "Click the Record button to record your voice message.");
  EXPECT_TRUE(app.ToolButtonEnabled(Vocalet::btnRecord));
  EXPECT_FALSE(app.ToolButtonEnabled(Vocalet::btnPlay));
  EXPECT_FALSE(app.ToolButtonEnabled(Vocalet::btnSend));
  EXPECT_FALSE(app.ToolButtonEnabled(Vocalet::btnAttach));
  EXPECT_FALSE(app.RecorderPageShown());
  // Delivery keys do nothing without a message: no dialog, no file.
  app.Key(VK_F12);
  app.Key(VK_F5);
  Sleep(500);
  EXPECT_EQ(GetFileAttributesA((BinDir() + "\\eMail.dat").c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(app.Quit());
  DWORD code = 1;
  GetExitCodeProcess(app.Process(), &code);
  EXPECT_EQ(code, 0u);
}

TEST_F(VocaletE2E, RecordStopCompressPlay) {
  Vocalet app;
  ASSERT_TRUE(app.Start());
  app.Key(VK_F2);
  ASSERT_TRUE(WaitUntil([&] { return app.RecorderPageShown(); }, 10000));
  EXPECT_FALSE(app.ToolButtonEnabled(Vocalet::btnPlay));  // no message yet
  Sleep(2500);
  app.Key(VK_F3);
  ASSERT_TRUE(WaitStatus(app, "Last message recorded on "));
  EXPECT_FALSE(app.RecorderPageShown());
  EXPECT_TRUE(app.ToolButtonEnabled(Vocalet::btnPlay));
  EXPECT_TRUE(app.ToolButtonEnabled(Vocalet::btnSend));
  EXPECT_TRUE(app.ToolButtonEnabled(Vocalet::btnAttach));

  WaveInfo w = ReadWave(message);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.formatTag, 0x31);
  EXPECT_EQ(w.blockAlign, 65);
  std::vector<short> decoded = DecodeGsm(w);
  ASSERT_GT(decoded.size(), 8000u);
  EXPECT_GT(Rms(decoded), 300.0) << "the message holds silence";

  std::string hint = HintOverDetails(app);
  EXPECT_NE(hint.find("Message duration "), std::string::npos) << hint;
  EXPECT_NE(hint.find("GSM 6.10 Wave, 8 KHz, Mono, 16 Bit"), std::string::npos) << hint;
  EXPECT_NE(hint.find("Compression ratio"), std::string::npos) << hint;

  // Play: the recorder page shows until the message has played to its end.
  app.Key(VK_F4);
  ASSERT_TRUE(WaitUntil([&] { return app.RecorderPageShown(); }, 10000));
  // Esc pauses and resumes; F3 stops a playback without touching the message.
  app.Key(VK_ESCAPE);
  Sleep(300);
  app.Key(VK_ESCAPE);
  Sleep(300);
  app.Key(VK_F3);
  ASSERT_TRUE(WaitUntil([&] { return !app.RecorderPageShown(); }, 10000));
  EXPECT_EQ(ReadWave(message).formatTag, 0x31);
  ASSERT_TRUE(app.Quit());
  Options saved = ReadOptions();
  EXPECT_GT(saved.PlainSize, static_cast<int>(w.data.size()));
}

TEST_F(VocaletE2E, ClosingDuringARecordingKeepsItUncompressed) {
  options.PlainSize = 4321;
  WriteOptions(options);
  {
    Vocalet app;
    ASSERT_TRUE(app.Start());
    app.Key(VK_F2);
    ASSERT_TRUE(WaitUntil([&] { return app.RecorderPageShown(); }, 10000));
    Sleep(1500);
    ASSERT_TRUE(app.Quit());
  }
  WaveInfo w = ReadWave(message);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.formatTag, 1);
  EXPECT_EQ(ReadOptions().PlainSize, 4321);
  Vocalet again;
  ASSERT_TRUE(again.Start());
  EXPECT_EQ(again.StatusLine().rfind("Last message recorded on ", 0), 0u) << again.StatusLine();
  std::string hint = HintOverDetails(again);
  EXPECT_NE(hint.find("Size 4 KB."), std::string::npos) << hint;  // the old size
  ASSERT_TRUE(again.Quit());
}

// The system ends the session as Windows does: it asks, it tells, and then ends the process
// without any further message. What was recorded and the options must be on disk by then.
TEST_F(VocaletE2E, SessionEndDuringARecordingKeepsTheRecordingAndTheOptions) {
  options.PlainSize = 4321;
  WriteOptions(options);
  Vocalet app;
  ASSERT_TRUE(app.Start());
  app.Key(VK_F2);
  ASSERT_TRUE(WaitUntil([&] { return app.RecorderPageShown(); }, 10000));
  Sleep(2500);
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(app.Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                  SMTO_NORMAL, 20000, &answer));
  EXPECT_TRUE(answer) << "the program vetoed the end of the session";
  ASSERT_TRUE(SendMessageTimeoutA(app.Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                  SMTO_NORMAL, 30000, &answer));
  TerminateProcess(app.Process(), 1);
  ASSERT_TRUE(app.WaitExit(10000));

  WaveInfo w = ReadWave(message);
  ASSERT_TRUE(w.ok) << "no message file";
  EXPECT_EQ(w.formatTag, 1) << "saved as recorded, not compressed";
  EXPECT_EQ(w.bits, 16);
  std::vector<short> samples(w.data.size() / 2);
  std::memcpy(samples.data(), w.data.data(), samples.size() * 2);
  EXPECT_GT(Rms(samples), 300.0) << "the message holds silence";
  HANDLE file = CreateFileA(message.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  const DWORD size = GetFileSize(file, nullptr);
  CloseHandle(file);
  Options saved = ReadOptions();
  EXPECT_EQ(saved.PlainSize, static_cast<int>(size));
  EXPECT_GE(saved.DurationSec, 2);
}

// Another program holds the message file open (a mail program attaching it, say) and lets
// nobody replace it: the new recording is kept beside it, and the error box says where.
TEST_F(VocaletE2E, AMessageFileThatCannotBeReplacedDoesNotCostTheRecording) {
  HANDLE held = CreateFileA(message.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                            nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(held, "an earlier message", 18, &written, nullptr);
  Vocalet app;
  ASSERT_TRUE(app.Start());
  app.Key(VK_F2);
  ASSERT_TRUE(WaitUntil([&] { return app.RecorderPageShown(); }, 10000));
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
  WaveInfo w = ReadWave(kept);
  ASSERT_TRUE(w.ok) << "the recording is lost";
  EXPECT_EQ(w.formatTag, 1);
  std::vector<short> samples(w.data.size() / 2);
  std::memcpy(samples.data(), w.data.data(), samples.size() * 2);
  EXPECT_GT(Rms(samples), 300.0) << "the kept recording holds silence";
  EXPECT_TRUE(WaitUntil([&] { return app.ShownBox() == nullptr; }, 10000));
  ASSERT_TRUE(app.Quit());
}

// German was chosen earlier, and another program holds its module file without sharing it.
TEST_F(VocaletE2E, ATranslationThatCannotBeReadStartsTheProgramInEnglish) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quindle\\MLS", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  DWORD before = 0, size = sizeof before;
  const bool hadValue =
      RegQueryValueExA(key, "Vocalet", nullptr, nullptr, reinterpret_cast<BYTE*>(&before),
                       &size) == ERROR_SUCCESS;
  const DWORD german = 3;
  RegSetValueExA(key, "Vocalet", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&german),
                 sizeof german);
  HANDLE held = CreateFileA((BinDir() + "\\mls\\Vocalet_deu.mls").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(held, INVALID_HANDLE_VALUE);
  {
    Vocalet app;
    EXPECT_TRUE(app.Start());
    EXPECT_EQ(app.StatusLine(), "Click the Record button to record your voice message.");
    CloseHandle(held);
    EXPECT_TRUE(app.Quit());
    DWORD code = 1;
    GetExitCodeProcess(app.Process(), &code);
    EXPECT_EQ(code, 0u);
  }
  if (hadValue)
    RegSetValueExA(key, "Vocalet", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before),
                   sizeof before);
  else
    RegDeleteValueA(key, "Vocalet");
  RegCloseKey(key);
}

TEST_F(VocaletE2E, FiftyRecordingsLeaveNoObjectsBehind) {
  Vocalet app;
  ASSERT_TRUE(app.Start());
  auto cycle = [&] {
    app.Key(VK_F2);
    if (!WaitUntil([&] { return app.RecorderPageShown(); }, 10000)) return false;
    Sleep(100);
    app.Key(VK_F3);
    return WaitUntil([&] { return !app.RecorderPageShown(); }, 20000);
  };
  ASSERT_TRUE(cycle());
  Sleep(300);
  DWORD gdi = app.GdiObjects(), user = app.UserObjects();
  int windows = app.WindowCount();
  for (int i = 0; i < 49; ++i) ASSERT_TRUE(cycle()) << "cycle " << i;
  Sleep(500);
  EXPECT_LE(app.GdiObjects(), gdi + 2) << "GDI objects grew";
  EXPECT_LE(app.UserObjects(), user + 2) << "USER objects grew";
  EXPECT_EQ(app.WindowCount(), windows) << "windows were left behind";
  // No handle on the message is left open: it can be opened without any sharing.
  HANDLE h = CreateFileA(message.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         0, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  ASSERT_TRUE(app.Quit());
}

}  // namespace
