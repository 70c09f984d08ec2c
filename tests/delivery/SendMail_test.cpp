// SendMail.exe as Vocalet starts it: the hand-off file in, a mail out, through a recording
// MAPI32.DLL placed beside a copy of the program, or under Wine through a stand-in
// xdg-email found first on the Unix PATH.
#include <gtest/gtest.h>

#include <vector>

#include "DeliveryTestUtils.h"
#include "MapiRecord.h"
#include "TestFolder.h"
#include "delivery/SMapiUtils.h"

namespace {

using List = std::vector<std::string>;

// Every value recorded under the tag, in order.
List Values(const TRecord& r, const std::string& tag) {
  List values;
  for (const auto& [t, v] : r)
    if (t == tag) values.push_back(v);
  return values;
}

const char kBody[] = "\r\nThis e-mail contains a voice message.\r\n\r\nBye";

class SendMailTest : public ::testing::Test {
 protected:
  TestFolder dir;
  std::string exe = BinDir() + "\\SendMail.exe";
  std::string mailFile = dir.Path() + "\\eMail.dat", message = dir.Path() + "\\vocalet.wav";
  TSMapiMessage mail;
  void SetUp() override {
    WriteWholeFile(message, "RIFF....WAVE");
    mail.Subject = "Voice message";
    mail.Text = kBody;
    mail.Files = {message};
  }
  long Send() {
    mail.SaveToFile(mailFile);
    return RunAndWait("\"" + exe + "\" \"" + mailFile + "\"");
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
  TRecord Record() { return ParseRecord(ReadWholeFile(dir.Path() + "\\mapi-record.txt")); }
};

TEST_F(MapiSend, VocaletsMailReachesMapiWithTheComposeWindowAndTheMessageAttached) {
  ASSERT_EQ(Send(), 0);
  const TRecord r = Record();
  EXPECT_EQ(Values(r, "session"), List{"0"});
  EXPECT_EQ(Values(r, "flags"), List{"9"}) << "MAPI_DIALOG | MAPI_LOGON_UI";
  EXPECT_EQ(Values(r, "subject"), List{"Voice message"});
  EXPECT_EQ(Values(r, "text"), List{kBody});
  EXPECT_EQ(Values(r, "recipclass"), List{});
  EXPECT_EQ(Values(r, "filepath"), List{message});
  EXPECT_EQ(Values(r, "filename"), List{"<null>"});
  EXPECT_EQ(Values(r, "position"), List{"-1"});
}

TEST_F(MapiSend, ALongBodyAndPathsTheProfileFunctionsCannotCarryArriveWhole) {
  mail.Text = "a\\nb";
  for (int i = 0; i < 500; ++i) mail.Text += "\r\n0123456789";
  mail.Files = {dir.Path() + "\\a=b.wav", dir.Path() + "\\;c.wav", dir.Path() + "\\[d].wav"};
  ASSERT_EQ(Send(), 0);
  const TRecord r = Record();
  EXPECT_EQ(Values(r, "text"), List{mail.Text});
  EXPECT_EQ(Values(r, "filepath"), mail.Files);
}

TEST_F(MapiSend, TheRecipientAndTheAttachmentNamesAreHandedOn) {
  const struct {
    std::string name, address;
    List fileNames, recipName, recipAddress, attachmentNames;
  } cases[] = {
      {"Ann Example", "ann@example.org", {"First.wav", "Second.wav"}, {"Ann Example"},
       {"SMTP:ann@example.org"}, {"First.wav", "Second.wav"}},
      // An address alone is also the name; names only when there is one for every file.
      {"", "bob@example.org", {"Only.wav"}, {"bob@example.org"}, {"SMTP:bob@example.org"},
       {"<null>", "<null>"}},
      {"Carl", "", {}, {"Carl"}, {"<null>"}, {"<null>", "<null>"}},
  };
  mail.Files.push_back(dir.Path() + "\\second file.wav");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + c.address);
    mail.ToName = c.name;
    mail.ToAddr = c.address;
    mail.FileNames = c.fileNames;
    ASSERT_EQ(Send(), 0);
    const TRecord r = Record();
    EXPECT_EQ(Values(r, "recipclass"), List{"1"});  // MAPI_TO
    EXPECT_EQ(Values(r, "recipname"), c.recipName);
    EXPECT_EQ(Values(r, "recipaddr"), c.recipAddress);
    EXPECT_EQ(Values(r, "filepath"), mail.Files);
    EXPECT_EQ(Values(r, "filename"), c.attachmentNames);
  }
}

TEST_F(MapiSend, ARefusalEndsQuietlyWithMapisCodeAndChangesNoFile) {
  for (long code : {2, 1}) {  // MAPI_E_FAILURE, MAPI_USER_ABORT
    WriteWholeFile(dir.Path() + "\\mapi-result.txt", std::to_string(code));
    EXPECT_EQ(Send(), code);
  }
  EXPECT_EQ(ReadWholeFile(mailFile), mail.FileText());
  EXPECT_EQ(ReadWholeFile(message), "RIFF....WAVE");
}

TEST_F(MapiSend, AMissingOrUnnamedFileEndsWithoutCallingMapi) {
  EXPECT_EQ(RunAndWait("\"" + exe + "\" \"" + dir.Path() + "\\nothere.dat\""), 101);
  EXPECT_EQ(RunAndWait("\"" + exe + "\""), 100);
  EXPECT_EQ(RunAndWait("\"" + exe + "\" \"" + dir.Path() + "\""), 101) << "a folder";
  EXPECT_FALSE(FileExists(dir.Path() + "\\mapi-record.txt"));
  EXPECT_FALSE(FileExists(dir.Path() + "\\nothere.dat"));
}

// Under Wine with Wine's own mapi32: the stand-in xdg-email first on the Unix PATH.
class WineSend : public SendMailTest {
 protected:
  std::string fakeBin = WinPathFromEnv("VOCALET_FAKE_XDG_DIR");
  void SetUp() override {
    SendMailTest::SetUp();
    ASSERT_NE(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"), nullptr)
        << "runs under Wine only";
    TearDown();
  }
  void TearDown() override {
    DeleteFileA((fakeBin + "\\xdg-email.args").c_str());
    DeleteFileA((fakeBin + "\\xdg-email.exit").c_str());
  }
  List Arguments() {
    const std::string data = ReadWholeFile(fakeBin + "\\xdg-email.args");
    List args;
    size_t start = 0;
    for (size_t end; (end = data.find('\0', start)) != std::string::npos; start = end + 1)
      args.push_back(data.substr(start, end - start));
    return args;
  }
};

TEST_F(WineSend, XdgEmailGetsUtf8TextsTheMessagesUnixPathAndTheAddressLast) {
  mail.ToName = "J\xF6rg";
  mail.ToAddr = "joerg@example.org";
  mail.Subject = "Gr\xFC\xDF" "e";
  mail.Text = "\r\nSch\xF6ne\r\nGr\xFC\xDF" "e";
  ASSERT_EQ(Send(), 0);
  const std::string unixMessage = UnixPath(message);
  ASSERT_EQ(unixMessage.substr(0, 1), "/");
  EXPECT_EQ(Arguments(), (List{"--utf8", "--subject", "Gr\xC3\xBC\xC3\x9F" "e", "--body",
                               "\nSch\xC3\xB6ne\nGr\xC3\xBC\xC3\x9F" "e", "--attach",
                               unixMessage, "joerg@example.org"}));
}

TEST_F(WineSend, AFailingMailProgramEndsWithANonZeroCode) {
  // What xdg-email answers when no mail program is configured or found.
  WriteWholeFile(fakeBin + "\\xdg-email.exit", "3");
  EXPECT_EQ(Send(), 103);
  EXPECT_FALSE(Arguments().empty()) << "the stand-in ran";
  EXPECT_TRUE(FileExists(mailFile));
  EXPECT_TRUE(FileExists(message));
}

}  // namespace
