// Delivering a message with the real Vocalet.exe under Wine: Send through SendMail.exe into a
// recording MAPI32.DLL, Save As through the platform's save dialog, and Attach by dragging
// from Drag & Attach into a drop target of this process. (Send to the desktop's xdg-email:
// standard_user_test.sh.)
#include <gtest/gtest.h>
#include <shlwapi.h>

#include "E2E.h"
#include "MapiRecord.h"
#include "TestFolder.h"
#include "util/ovUtils.h"

using namespace e2e;

namespace {

const char kBodyStart[] =
    "\nThis e-mail contains a voice message. Double click the icon of\n"
    "the attached file to play it.\n\n";
const char kDllOverrides[] = "Software\\Wine\\AppDefaults\\SendMail.exe\\DllOverrides";

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
    s.replace(at, from.size(), to);
  return s;
}

std::vector<std::string> Values(const TRecord& r, const std::string& tag) {
  std::vector<std::string> v;
  for (const auto& [t, value] : r)
    if (t == tag) v.push_back(value);
  return v;
}

// Two seconds of a 500 Hz triangle, as the recorder makes it with the default options: PCM,
// 8 kHz, mono, 16 bits.
void WritePcmMessage(const std::string& path) {
  const DWORD samples = 16000;
  std::string w;
  auto u32 = [&](DWORD v) { for (int i = 0; i < 4; ++i) w += static_cast<char>(v >> (8 * i)); };
  auto u16 = [&](int v) { w += static_cast<char>(v & 0xFF); w += static_cast<char>(v >> 8 & 0xFF); };
  w += "RIFF";
  u32(36 + 2 * samples);
  w += "WAVEfmt ";
  for (DWORD v : {16u, 0x10001u, 8000u, 16000u, 0x100002u}) u32(v);  // PCM, mono, 2, 16
  w += "data";
  u32(2 * samples);
  for (DWORD i = 0; i < samples; ++i) {
    const int phase = static_cast<int>(i % 16);
    u16(phase < 8 ? -8000 + phase * 2000 : 8000 - (phase - 8) * 2000);
  }
  WriteAll(path, w);
}

// A message file in a folder of its own, and SendMail.exe where the program starts it,
// "<CommonFilesDir>\Orvane", with the recording MAPI32.DLL beside it: Wine prefers its own
// mapi32 even there, so the native one is asked for, for SendMail.exe only.
struct Delivery : ::testing::Test {
  TestFolder folder;
  Options options;
  std::string message = folder.Path() + "\\message.wav";
  std::string orvane = ExpandPathMacros("<CommonFilesDir>\\Orvane");
  std::string dll = orvane + "\\MAPI32.DLL", record = orvane + "\\mapi-record.txt";

  void SetUp() override {
    options.MsgFileName = message;
    DeleteFileA(HandOffFile().c_str());
    SetCursorPos(500, 300);  // the program opens under the pointer, clear of the drop target
    ASSERT_TRUE(Exists(orvane + "\\SendMail.exe")) << "the build places it in " << orvane;
    ASSERT_FALSE(Exists(dll)) << "a MAPI32.DLL that is not ours";
    ASSERT_TRUE(CopyFileA((BinDir() + "\\fakemapi\\MAPI32.DLL").c_str(), dll.c_str(), TRUE));
    DeleteFileA(record.c_str());
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kDllOverrides, 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExA(key, "mapi32", 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"),
                   15);
    RegCloseKey(key);
  }
  void TearDown() override {
    WaitUntil([] { return !ProcessRuns("SendMail.exe"); }, 20000);
    DeleteFileA(dll.c_str());
    DeleteFileA(record.c_str());
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\SendMail.exe");
  }
  // The message as the mail program got it, once SendMail.exe has ended.
  TRecord Mail() {
    EXPECT_TRUE(WaitUntil([&] { return Exists(record); }, 20000)) << "MAPISendMail not called";
    EXPECT_TRUE(WaitUntil([] { return !ProcessRuns("SendMail.exe"); }, 20000));
    TRecord mail = ParseRecord(ReadAll(record));
    DeleteFileA(record.c_str());
    return mail;
  }
  void StartWithPcmMessage(Vocalet& app) {
    options.PackOnSend = true;
    WritePcmMessage(message);
    options.PlainSize = static_cast<int>(ReadAll(message).size());
    options.DurationSec = 2;
    WriteOptions(options);
    ASSERT_TRUE(app.Start());
  }
  // Closed, and the main window back.
  static bool Returned(Vocalet& app, HWND dna) {
    return PumpUntil([&] { return !IsWindow(dna) && IsWindowVisible(app.Main()); }, 10000);
  }
};

TEST_F(Delivery, ARecordedMessageReachesTheMailProgramAndAutoCloseEndsTheProgram) {
  options.AutoClose = true;
  WriteOptions(options);
  Vocalet app;
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.Record());
  ASSERT_EQ(ReadWave(message).formatTag, WAVE_FORMAT_GSM610);
  const std::string recorded = ReadAll(message);

  app.Key(VK_F5);
  EXPECT_TRUE(app.WaitExit(20000)) << "AutoClose: the main window closes after Send";
  TRecord mail = Mail();
  EXPECT_EQ(Values(mail, "subject"), std::vector<std::string>{"Voice message"});
  ASSERT_EQ(Values(mail, "text").size(), 1u);
  const std::string text = Values(mail, "text")[0];
  EXPECT_EQ(text.rfind(Replace(kBodyStart, "\n", "\r\n"), 0), 0u) << text;
  EXPECT_EQ(text.find("\\n"), std::string::npos) << "escaped line breaks left in the body";
  EXPECT_EQ(Replace(text, "\r\n", "").find_first_of("\r\n"), std::string::npos)
      << "every line break is CR LF";
  EXPECT_EQ(Values(mail, "filepath"), std::vector<std::string>{message});
  EXPECT_TRUE(Values(mail, "recipname").empty());
  EXPECT_TRUE(ReadAll(message) == recorded) << "Send changed a compressed message";
  // The hand-off file stays where the mail-sender read it.
  char subject[64] = {}, file[8] = {};
  GetPrivateProfileStringA("Header", "Subject", "", subject, sizeof subject,
                           HandOffFile().c_str());
  GetPrivateProfileStringA("Files", message.c_str(), "", file, sizeof file, HandOffFile().c_str());
  EXPECT_STREQ(subject, "Voice message");
  EXPECT_STREQ(file, "1");
}

// PackOnSend leaves the message uncompressed until it is delivered: Save As is no delivery,
// the first Send compresses it before the mail-sender starts, the second finds it done.
TEST_F(Delivery, PackOnSendCompressesOnceOnSendAndWithoutAutoCloseTheWindowStays) {
  Vocalet app;
  StartWithPcmMessage(app);
  const std::string plain = ReadAll(message);
  const std::string copy = folder.Path() + "\\saved copy.wav";
  WriteAll(copy, plain + std::string(5000, 'x'));
  std::string proposed;
  ASSERT_TRUE(app.SaveAs(copy, &proposed));
  EXPECT_EQ(proposed, "message.wav");
  EXPECT_TRUE(WaitUntil([&] { return ReadAll(copy) == plain; }, 10000))
      << "Save As over a longer file: " << ReadAll(copy).size() << " bytes";
  EXPECT_TRUE(ReadAll(message) == plain) << "Save As changed the message";

  app.Key(VK_F5);
  TRecord mail = Mail();
  EXPECT_EQ(Values(mail, "subject"), std::vector<std::string>{"Voice message"});
  EXPECT_EQ(Values(mail, "filepath"), std::vector<std::string>{message});
  WaveInfo w = ReadWave(message);
  EXPECT_EQ(w.formatTag, WAVE_FORMAT_GSM610);
  EXPECT_GT(Rms(DecodeGsm(w)), 1000.0) << "the tone survived the compression";
  EXPECT_TRUE(IsWindowVisible(app.Main()));
  const std::string packed = ReadAll(message);
  app.Key(VK_F5);
  EXPECT_EQ(Values(Mail(), "filepath"), std::vector<std::string>{message});
  EXPECT_TRUE(ReadAll(message) == packed) << "the second Send changed the message";

  MailStandIn target(message);
  HWND dna = app.OpenDragNAttach();
  ASSERT_NE(dna, nullptr);
  PointerDrag drag(dna, folder.Path());
  ASSERT_TRUE(drag.OverTarget(target)) << "the drag did not reach the target";
  ASSERT_TRUE(drag.Release());
  EXPECT_TRUE(Returned(app, dna)) << "after a drop";
  EXPECT_EQ(target.dropped, std::vector<std::string>{message});
  ASSERT_TRUE(app.Quit());
}

// Escape closes Drag & Attach, before a drag or during one, and prepares nothing; a drop
// hands over the message compressed at the drop (not while hovering) and, with AutoClose,
// ends the program.
TEST_F(Delivery, AttachEscapeCancelsAndOnlyADropPreparesTheMessageAndAutoCloses) {
  options.AutoClose = true;
  MailStandIn target(message);
  Vocalet app;
  StartWithPcmMessage(app);
  const std::string plain = ReadAll(message);

  HWND dna = app.OpenDragNAttach();
  ASSERT_NE(dna, nullptr);
  EXPECT_FALSE(IsWindowVisible(app.Main())) << "the main window hides while attaching";
  app.Key(VK_ESCAPE, false, dna);
  EXPECT_TRUE(Returned(app, dna)) << "Escape before a drag";

  dna = app.OpenDragNAttach();
  ASSERT_NE(dna, nullptr);
  {
    PointerDrag drag(dna, folder.Path());
      ASSERT_TRUE(drag.OverTarget(target)) << "the drag did not reach the target";
    app.Key(VK_ESCAPE, false, dna);
    EXPECT_TRUE(Returned(app, dna)) << "Escape during a drag";
    ASSERT_TRUE(drag.Release());
  }
  EXPECT_EQ(target.drops, 0);
  EXPECT_TRUE(ReadAll(message) == plain) << "the preparation ran";
  EXPECT_FALSE(app.WaitExit(0)) << "AutoClose applies only to a drop";

  target.hovered = false;
  dna = app.OpenDragNAttach();
  ASSERT_NE(dna, nullptr);
  PointerDrag drag(dna, folder.Path());
  ASSERT_TRUE(drag.OverTarget(target)) << "the drag did not reach the target";
  EXPECT_EQ(target.hoverBlockSize, 23) << "an empty file list while hovering";
  EXPECT_EQ(target.formatWhileHovering, WAVE_FORMAT_PCM) << "prepared before the drop";
  ASSERT_TRUE(drag.Release());
  EXPECT_TRUE(PumpUntil([&] { return app.WaitExit(0); }, 20000)) << "AutoClose after a drop";
  EXPECT_EQ(target.dropped, std::vector<std::string>{message});
  EXPECT_EQ(target.formatAtDrop, WAVE_FORMAT_GSM610) << "compressed before the target got it";
}

}  // namespace
