// SendMail.exe reading the hand-off file: a mail out through a recording MAPI32.DLL beside a
// copy of the program, or, with Wine's own mapi32, through a stand-in xdg-email.
#include <gtest/gtest.h>

#include <vector>

#include "DeliveryTestUtils.h"
#include "delivery/SMapiUtils.h"
#include "support/MapiRecord.h"
#include "support/TestFolder.h"

namespace {

using List = std::vector<std::string>;

class SendMailTest : public ::testing::Test {
 protected:
  TestFolder dir;
  std::string exe = BinDir() + "\\SendMail.exe";
  std::string mailFile = dir.Path() + "\\eMail.dat", message = dir.Path() + "\\vocalet.wav";
  TSMapiMessage mail;
  void SetUp() override {
    WriteWholeFile(message, "RIFF....WAVE");
    mail.Subject = "Voice message";
    mail.Text = "\r\nThis e-mail contains a voice message.\r\n\r\nBye";
    mail.Files = {message};
  }
  long Run(const std::string& arguments) { return RunAndWait("\"" + exe + "\"" + arguments); }
  long Send() {
    mail.SaveToFile(mailFile);
    return Run(" \"" + mailFile + "\"");
  }
};

// A copy of SendMail.exe with the recording MAPI32.DLL beside it. Wine prefers its own
// mapi32 even there, so the test asks for the native one for SendMail.exe while it runs.
class MapiSend : public SendMailTest {
 protected:
  static constexpr const char* kOverrideKey =
      "Software\\Wine\\AppDefaults\\SendMail.exe\\DllOverrides";
  void SetUp() override {
    SendMailTest::SetUp();
    const std::string copy = dir.Path() + "\\SendMail.exe";
    ASSERT_TRUE(CopyFileA(exe.c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((BinDir() + "\\fakemapi\\MAPI32.DLL").c_str(),
                          (dir.Path() + "\\MAPI32.DLL").c_str(), FALSE));
    exe = copy;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kOverrideKey, 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExA(key, "mapi32", 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"),
                   15);
    RegCloseKey(key);
  }
  void TearDown() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kOverrideKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\SendMail.exe");
  }
  // Every value the mail program was given under the tag, in order.
  List Values(const std::string& tag) {
    List values;
    for (const auto& [t, v] : ParseRecord(ReadWholeFile(dir.Path() + "\\mapi-record.txt")))
      if (t == tag) values.push_back(v);
    return values;
  }
};

// Subject, text and path on their way from Vocalet are checked end to end (e2e Delivery).
TEST_F(MapiSend, TheComposeWindowGetsALongBodyWholeAndTheMessageAttachedNotPlaced) {
  for (int i = 0; i < 500; ++i) mail.Text += "\r\n0123456789";
  ASSERT_EQ(Send(), 0);
  EXPECT_EQ(Values("session"), List{"0"});
  EXPECT_EQ(Values("flags"), List{"9"}) << "MAPI_DIALOG | MAPI_LOGON_UI";
  EXPECT_EQ(Values("text"), List{mail.Text});
  EXPECT_EQ(Values("recipclass"), List{});
  EXPECT_EQ(Values("filepath"), List{message});
  EXPECT_EQ(Values("filename"), List{"<null>"});
  EXPECT_EQ(Values("position"), List{"-1"});
}

// Vocalet does not read the exit code, but another caller may.
TEST_F(MapiSend, FailuresEndQuietlyWithTheirExitCodesAndChangeNoFile) {
  for (long code : {2, 1}) {  // MAPI_E_FAILURE, MAPI_USER_ABORT
    WriteWholeFile(dir.Path() + "\\mapi-result.txt", std::to_string(code));
    EXPECT_EQ(Send(), code);
  }
  EXPECT_EQ(ReadWholeFile(mailFile), mail.FileText());
  EXPECT_EQ(ReadWholeFile(message), "RIFF....WAVE");
  DeleteFileA((dir.Path() + "\\mapi-record.txt").c_str());
  EXPECT_EQ(Run(" \"" + dir.Path() + "\\nothere.dat\""), 101);
  EXPECT_EQ(Run(""), 100);
  EXPECT_EQ(Run(" \"" + dir.Path() + "\""), 101) << "a folder";
  EXPECT_EQ(ReadWholeFile(dir.Path() + "\\mapi-record.txt"), "") << "MAPI was called";
}

// A stand-in xdg-email first on the Unix PATH records its arguments, each ended by a NUL.
TEST_F(SendMailTest, XdgEmailGetsUtf8TextsTheMessagesUnixPathAndTheAddressLast) {
  const std::string argsFile = WinPathFromEnv("VOCALET_FAKE_XDG_DIR") + "\\xdg-email.args";
  DeleteFileA(argsFile.c_str());
  mail.ToAddr = "joerg@example.org";
  mail.Subject = "Gr\xFC\xDF" "e";
  mail.Text = "\r\nSch\xF6ne\r\nGr\xFC\xDF" "e";
  ASSERT_EQ(Send(), 0);
  const std::string unixMessage = UnixPath(message);
  ASSERT_EQ(unixMessage.substr(0, 1), "/");
  std::string expected;
  for (const std::string& arg : List{"--utf8", "--subject", "Gr\xC3\xBC\xC3\x9F" "e", "--body",
                                     "\nSch\xC3\xB6ne\nGr\xC3\xBC\xC3\x9F" "e", "--attach",
                                     unixMessage, "joerg@example.org"})
    expected += arg + '\0';
  EXPECT_EQ(ReadWholeFile(argsFile), expected);
  DeleteFileA(argsFile.c_str());
}

TEST(HandOffFile, AFailedSaveNamesTheFile) {
  TestFolder t;
  const std::string path = t.Path() + "\\no such folder\\eMail.dat";
  try {
    TSMapiMessage().SaveToFile(path);
    ADD_FAILURE() << "saved into a missing folder";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(e.what(), "Cannot write to the file \"" + path + "\".");
  }
}

}  // namespace
