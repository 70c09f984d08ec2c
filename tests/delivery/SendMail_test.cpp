// The hand-off file on disk, and SendMail.exe reading it: a mail out through a recording
// MAPI32.DLL beside a copy of the program, or under Wine through a stand-in xdg-email.
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

// Subject, text and path on their way from Vocalet are checked end to end (e2e Delivery).
TEST_F(MapiSend, TheComposeWindowGetsALongBodyWholeAndTheMessageAttachedNotPlaced) {
  for (int i = 0; i < 500; ++i) mail.Text += "\r\n0123456789";
  ASSERT_EQ(Send(), 0);
  const TRecord r = Record();
  EXPECT_EQ(Values(r, "session"), List{"0"});
  EXPECT_EQ(Values(r, "flags"), List{"9"}) << "MAPI_DIALOG | MAPI_LOGON_UI";
  EXPECT_EQ(Values(r, "text"), List{mail.Text});
  EXPECT_EQ(Values(r, "recipclass"), List{});
  EXPECT_EQ(Values(r, "filepath"), List{message});
  EXPECT_EQ(Values(r, "filename"), List{"<null>"});
  EXPECT_EQ(Values(r, "position"), List{"-1"});
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

// Under Wine with Wine's own mapi32: a stand-in xdg-email first on the Unix PATH records its
// arguments, each ended by a NUL.
TEST_F(SendMailTest, XdgEmailGetsUtf8TextsTheMessagesUnixPathAndTheAddressLast) {
  const std::string argsFile = WinPathFromEnv("VOCALET_FAKE_XDG_DIR") + "\\xdg-email.args";
  DeleteFileA(argsFile.c_str());
  mail.ToName = "J\xF6rg";
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

// --- The hand-off file on disk, as Vocalet writes it (its text: SMapiText_test) ---------

std::string SaveError(const TSMapiMessage& m, const std::string& path) {
  try {
    m.SaveToFile(path);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "no error";
}

TEST(HandOffFile, TheProfileFunctionsReadWhatTheLastSaveWrote) {
  TestFolder t;
  const std::string path = t.Path() + "\\eMail.dat";
  TSMapiMessage m;
  m.Text = "\r\nHi,\r\nplease listen.";
  m.Files = {"C:\\a.wav", "C:\\b.wav"};
  m.SaveToFile(path);
  m.Files = {"C:\\c.wav"};
  m.SaveToFile(path);
  char text[256] = {};
  DWORD n = GetPrivateProfileStringA("Files", nullptr, "", text, sizeof text, path.c_str());
  EXPECT_EQ(std::string(text, n), std::string("C:\\c.wav\0", 9));
  GetPrivateProfileStringA("Header", "Text", "?", text, sizeof text, path.c_str());
  EXPECT_STREQ(text, "\\nHi,\\nplease listen.");
}

TEST(HandOffFile, AFileThatCannotBeReplacedKeepsItsTextAndTheErrorNamesIt) {
  TestFolder t;
  const std::string path = t.Path() + "\\eMail.dat";
  TSMapiMessage m;
  m.Files = {"C:\\first.wav"};
  m.SaveToFile(path);
  const std::string before = ReadWholeFile(path);
  // Held open by another program: the new file cannot take its place.
  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  m.Files = {"C:\\second.wav"};
  EXPECT_EQ(SaveError(m, path), "Cannot write to the file \"" + path + "\".");
  CloseHandle(reader);
  EXPECT_EQ(ReadWholeFile(path), before);
  EXPECT_FALSE(FileExists(path + ".new"));
  const std::string nowhere = t.Path() + "\\no such folder\\eMail.dat";
  EXPECT_EQ(SaveError(m, nowhere), "Cannot write to the file \"" + nowhere + "\".");
}

}  // namespace
