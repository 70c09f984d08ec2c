// Send into a recording MAPI32.DLL, Save As, and Attach by dragging into this process.
#include <shlwapi.h>

#include <regex>

#include "E2E.h"
#include "support/MapiRecord.h"
#include "util/ovUtils.h"

using namespace e2e;

namespace {

// The recording MAPI32.DLL beside SendMail.exe, which Wine must be told to prefer to its own.
struct Delivery : Scenario {
  std::string orvane = ExpandPathMacros("<CommonFilesDir>\\Orvane");
  std::string dll = orvane + "\\MAPI32.DLL", record = orvane + "\\mapi-record.txt";
  const char* appDefaults = "Software\\Wine\\AppDefaults\\SendMail.exe";

  void SetUp() override {
    Scenario::SetUp();
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
  // Each tag's values, joined by "|".
  std::map<std::string, std::string> Mail() {
    EXPECT_TRUE(WaitUntil([&] { return Exists(record); }, 20000)) << "MAPISendMail not called";
    EXPECT_TRUE(WaitUntil([] { return !ProcessRuns("SendMail.exe"); }, 20000));
    std::map<std::string, std::string> mail;
    for (const auto& [tag, value] : ParseRecord(ReadAll(record)))
      mail[tag] += (mail[tag].empty() ? "" : "|") + value;
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
  const std::string recorded = ReadAll(message);
  app.Key(VK_F5);
  EXPECT_TRUE(app.WaitExit(20000)) << "AutoClose: the main window closes after Send";
  auto mail = Mail();
  EXPECT_EQ(mail["subject"], "Voice message");
  const std::string text = mail["text"];
  EXPECT_EQ(text.rfind("\r\nThis e-mail contains a voice message. Double click the icon of\r\n"
                       "the attached file to play it.\r\n\r\n", 0), 0u) << text;
  EXPECT_FALSE(std::regex_search(text, std::regex(R"(\\n|[^\r]\n|\r[^\n])")))
      << "an escaped line break, or one that is not CR LF";
  EXPECT_EQ(mail["filepath"], message);
  EXPECT_EQ(mail["recipname"], "");
  EXPECT_TRUE(ReadAll(message) == recorded) << "Send changed a compressed message";
}

// Save As is no delivery; the first Send compresses before the mail-sender starts.
TEST_F(Delivery, PackOnSendCompressesOnceOnSendAndWithoutAutoCloseTheWindowStays) {
  ASSERT_TRUE(StartWithPcmMessage());
  const std::string plain = ReadAll(message), copy = folder.Path() + "\\saved copy.wav";
  WriteAll(copy, plain + std::string(5000, 'x'));
  ASSERT_TRUE(app.SaveAs(copy));
  EXPECT_TRUE(WaitUntil([&] { return ReadAll(copy) == plain; }, 10000))
      << "Save As over a longer file: " << ReadAll(copy).size() << " bytes";
  EXPECT_TRUE(ReadAll(message) == plain) << "Save As changed the message";

  app.Key(VK_F5);
  EXPECT_EQ(Mail()["filepath"], message);
  const WaveInfo w = ReadWave(message);
  EXPECT_EQ(w.formatTag, WAVE_FORMAT_GSM610);
  EXPECT_GT(Rms(w), 1000.0) << "the tone survived the compression";
  EXPECT_TRUE(IsWindowVisible(app.Main()));
  const std::string packed = ReadAll(message);
  app.Key(VK_F5);
  EXPECT_EQ(Mail()["filepath"], message);
  EXPECT_TRUE(ReadAll(message) == packed) << "the second Send changed the message";
  ASSERT_TRUE(app.Quit());
}

// Escape closes Drag & Attach, before or during a drag, preparing nothing.
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
  ASSERT_TRUE(cancelled.reached) << "the drag did not reach the target";
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
