// Delivering a message with the real Vocalet.exe under Wine: Send through SendMail.exe into a
// recording MAPI32.DLL, Save As through the platform's save dialog, and Attach by dragging
// from Drag & Attach into a drop target of this process. (Send to the desktop's xdg-email:
// the standard user's scenario.)
#include <shlwapi.h>

#include <regex>

#include "E2E.h"
#include "MapiRecord.h"
#include "util/ovUtils.h"

using namespace e2e;

namespace {

// The values of a tag in the mail, joined by "|".
std::string Values(const TRecord& r, const std::string& tag) {
  std::string v;
  for (const auto& [t, value] : r)
    if (t == tag) v += (v.empty() ? "" : "|") + value;
  return v;
}

// SendMail.exe where the program starts it, "<CommonFilesDir>\Orvane", with the recording
// MAPI32.DLL beside it: Wine prefers its own mapi32 even there, so the native one is asked
// for, for SendMail.exe only.
struct Delivery : Scenario {
  std::string orvane = ExpandPathMacros("<CommonFilesDir>\\Orvane");
  std::string dll = orvane + "\\MAPI32.DLL", record = orvane + "\\mapi-record.txt";
  const char* appDefaults = "Software\\Wine\\AppDefaults\\SendMail.exe";

  void SetUp() override {
    Scenario::SetUp();
    ASSERT_TRUE(Exists(orvane + "\\SendMail.exe")) << "the build places it in " << orvane;
    ASSERT_FALSE(Exists(dll)) << "a MAPI32.DLL that is not ours";
    ASSERT_TRUE(CopyFileA((BinDir() + "\\fakemapi\\MAPI32.DLL").c_str(), dll.c_str(), TRUE));
    DeleteFileA(record.c_str());
    ASSERT_EQ(SHSetValueA(HKEY_CURRENT_USER, (std::string(appDefaults) + "\\DllOverrides").c_str(),
                          "mapi32", REG_SZ, "native,builtin", 15), ERROR_SUCCESS);
  }
  void TearDown() override {
    WaitUntil([] { return !ProcessRuns("SendMail.exe"); }, 20000);
    DeleteFileA(dll.c_str());
    DeleteFileA(record.c_str());
    SHDeleteKeyA(HKEY_CURRENT_USER, appDefaults);
  }
  // The message as the mail program got it, once SendMail.exe has ended.
  TRecord Mail() {
    EXPECT_TRUE(WaitUntil([&] { return Exists(record); }, 20000)) << "MAPISendMail not called";
    EXPECT_TRUE(WaitUntil([] { return !ProcessRuns("SendMail.exe"); }, 20000));
    TRecord mail = ParseRecord(ReadAll(record));
    DeleteFileA(record.c_str());
    return mail;
  }
  // Two seconds of a tone, left so by PackOnSend.
  bool StartWithPcmMessage() {
    WriteAll(message, PcmTone(2));
    options["PackOnSend"] = "1";
    options["PlainSize"] = std::to_string(ReadAll(message).size());
    options["DurationSec"] = "2";
    return Start();
  }
};

TEST_F(Delivery, ARecordedMessageReachesTheMailProgramAndAutoCloseEndsTheProgram) {
  options["AutoClose"] = "1";
  ASSERT_TRUE(Start());
  ASSERT_TRUE(app.Record());
  ASSERT_EQ(ReadWave(message).formatTag, WAVE_FORMAT_GSM610);
  const std::string recorded = ReadAll(message);
  app.Key(VK_F5);
  EXPECT_TRUE(app.WaitExit(20000)) << "AutoClose: the main window closes after Send";
  TRecord mail = Mail();
  EXPECT_EQ(Values(mail, "subject"), "Voice message");
  const std::string text = Values(mail, "text");
  EXPECT_EQ(text.rfind("\r\nThis e-mail contains a voice message. Double click the icon of\r\n"
                       "the attached file to play it.\r\n\r\n", 0), 0u) << text;
  EXPECT_FALSE(std::regex_search(text, std::regex(R"(\\n|[^\r]\n|\r[^\n])")))
      << "an escaped line break, or one that is not CR LF";
  EXPECT_EQ(Values(mail, "filepath"), message);
  EXPECT_EQ(Values(mail, "recipname"), "");
  EXPECT_TRUE(ReadAll(message) == recorded) << "Send changed a compressed message";
}

// PackOnSend leaves the message uncompressed until it is delivered: Save As is no delivery,
// the first Send compresses it before the mail-sender starts, the second finds it done.
TEST_F(Delivery, PackOnSendCompressesOnceOnSendAndWithoutAutoCloseTheWindowStays) {
  ASSERT_TRUE(StartWithPcmMessage());
  const std::string plain = ReadAll(message), copy = folder.Path() + "\\saved copy.wav";
  WriteAll(copy, plain + std::string(5000, 'x'));
  std::string proposed;
  ASSERT_TRUE(app.SaveAs(copy, &proposed));
  EXPECT_EQ(proposed, "message.wav");
  EXPECT_TRUE(WaitUntil([&] { return ReadAll(copy) == plain; }, 10000))
      << "Save As over a longer file: " << ReadAll(copy).size() << " bytes";
  EXPECT_TRUE(ReadAll(message) == plain) << "Save As changed the message";

  app.Key(VK_F5);
  EXPECT_EQ(Values(Mail(), "filepath"), message);
  const WaveInfo w = ReadWave(message);
  EXPECT_EQ(w.formatTag, WAVE_FORMAT_GSM610);
  EXPECT_GT(Rms(DecodeGsm(w)), 1000.0) << "the tone survived the compression";
  EXPECT_TRUE(IsWindowVisible(app.Main()));
  const std::string packed = ReadAll(message);
  app.Key(VK_F5);
  EXPECT_EQ(Values(Mail(), "filepath"), message);
  EXPECT_TRUE(ReadAll(message) == packed) << "the second Send changed the message";

  HWND dna = app.OpenDragNAttach();
  ASSERT_NE(dna, nullptr);
  const Drop drop = DragToMail(app, dna, message);
  ASSERT_TRUE(drop.reached) << "the drag did not reach the target (xdotool?)";
  EXPECT_EQ(drop.dropped, std::vector<std::string>{message});
  EXPECT_TRUE(IsWindowVisible(app.Main())) << "the main window returns after a drop";
  ASSERT_TRUE(app.Quit());
}

// Escape closes Drag & Attach, before a drag or during one, and prepares nothing; a drop
// hands over the message compressed at the drop (not while hovering) and, with AutoClose,
// ends the program.
TEST_F(Delivery, AttachEscapeCancelsAndOnlyADropPreparesTheMessageAndAutoCloses) {
  options["AutoClose"] = "1";
  ASSERT_TRUE(StartWithPcmMessage());
  const std::string plain = ReadAll(message);
  HWND dna = app.OpenDragNAttach();
  ASSERT_NE(dna, nullptr);
  EXPECT_FALSE(IsWindowVisible(app.Main())) << "the main window hides while attaching";
  app.Key(VK_ESCAPE, false, dna);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dna) && IsWindowVisible(app.Main()); }, 10000))
      << "Escape before a drag";

  ASSERT_NE(dna = app.OpenDragNAttach(), nullptr);
  const Drop cancelled = DragToMail(app, dna, message, true);
  ASSERT_TRUE(cancelled.reached) << "the drag did not reach the target (xdotool?)";
  EXPECT_EQ(cancelled.drops, 0);
  EXPECT_TRUE(IsWindowVisible(app.Main())) << "Escape during a drag";
  EXPECT_TRUE(ReadAll(message) == plain) << "the preparation ran";
  EXPECT_FALSE(app.WaitExit(0)) << "AutoClose applies only to a drop";

  ASSERT_NE(dna = app.OpenDragNAttach(), nullptr);
  const Drop drop = DragToMail(app, dna, message);
  EXPECT_EQ(drop.hoverBlockSize, 23) << "an empty file list while hovering";
  EXPECT_EQ(drop.formatWhileHovering, WAVE_FORMAT_PCM) << "prepared before the drop";
  EXPECT_EQ(drop.dropped, std::vector<std::string>{message});
  EXPECT_EQ(drop.formatAtDrop, WAVE_FORMAT_GSM610) << "compressed before the target got it";
  EXPECT_TRUE(app.WaitExit(20000)) << "AutoClose after a drop";
}

}  // namespace
