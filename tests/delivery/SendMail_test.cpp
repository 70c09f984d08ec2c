// SendMail.exe as Vocalet starts it: the hand-off file in, a mail out, through a recording
// MAPI32.DLL placed beside a copy of the program, or under Wine through a stand-in
// xdg-email found first on the Unix PATH.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "DeliveryTestUtils.h"
#include "MapiRecord.h"
#include "TestFolder.h"
#include "delivery/SMapiUtils.h"

namespace {

std::string Value(const TRecord& r, const std::string& tag, int nth = 0) {
  for (const auto& [t, v] : r)
    if (t == tag && nth-- == 0) return v;
  return "<absent>";
}
int Count(const TRecord& r, const std::string& tag) {
  int n = 0;
  for (const auto& [t, v] : r) n += t == tag;
  return n;
}

struct TMailFile {
  std::string ToName, ToAddr, Subject, Text;  // Text escaped as the writer stores it
  std::vector<std::string> Files, FileNames;
  void Write(const std::string& path) const {
    const char* p = path.c_str();
    WritePrivateProfileStringA("Header", "ToName", ToName.c_str(), p);
    WritePrivateProfileStringA("Header", "ToAddr", ToAddr.c_str(), p);
    WritePrivateProfileStringA("Header", "Subject", Subject.c_str(), p);
    WritePrivateProfileStringA("Header", "Text", Text.c_str(), p);
    for (const auto& f : Files) WritePrivateProfileStringA("Files", f.c_str(), "1", p);
    for (const auto& f : FileNames) WritePrivateProfileStringA("FileNames", f.c_str(), "1", p);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, p);  // flush Wine's cache
  }
};

const char kBody[] = "\\nThis e-mail contains a voice message.\\n\\nBye";
const char kBodyCrLf[] = "\r\nThis e-mail contains a voice message.\r\n\r\nBye";

// A copy of SendMail.exe with the recording MAPI32.DLL beside it. Wine prefers its own
// mapi32 even there, so the test asks for the native one for SendMail.exe while it runs.
class MapiSend : public ::testing::Test {
 protected:
  TestFolder dir;
  std::string exe, mailFile, message;
  void SetUp() override {
    exe = dir.Path() + "\\SendMail.exe";
    ASSERT_TRUE(CopyFileA((BinDir() + "\\SendMail.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((BinDir() + "\\fakemapi\\MAPI32.DLL").c_str(),
                          (dir.Path() + "\\MAPI32.DLL").c_str(), FALSE));
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kOverrideKey, 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExA(key, "mapi32", 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"),
                   15);
    RegCloseKey(key);
    mailFile = dir.Path() + "\\eMail.dat";
    message = dir.Path() + "\\vocalet.wav";
    WriteWholeFile(message, "RIFF....WAVE");
  }
  void TearDown() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kOverrideKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\SendMail.exe");
  }
  long Send(const std::string& args) { return RunAndWait("\"" + exe + "\" " + args); }
  long SendMailFile() { return Send("\"" + mailFile + "\""); }
  TRecord Record() { return ParseRecord(ReadWholeFile(dir.Path() + "\\mapi-record.txt")); }
  static constexpr const char* kOverrideKey =
      "Software\\Wine\\AppDefaults\\SendMail.exe\\DllOverrides";
};

TEST_F(MapiSend, VocaletsMailReachesMapiWithRealLineBreaksAndTheMessageAttached) {
  TMailFile{"", "", "Voice message", kBody, {message}, {}}.Write(mailFile);
  ASSERT_EQ(SendMailFile(), 0);
  TRecord r = Record();
  EXPECT_EQ(Value(r, "session"), "0");
  // The compose window is shown and the user may be asked to log on.
  EXPECT_EQ(Value(r, "flags"), "9");
  EXPECT_EQ(Value(r, "subject"), "Voice message");
  EXPECT_EQ(Value(r, "text"), kBodyCrLf);
  EXPECT_EQ(Count(r, "recipclass"), 0);
  ASSERT_EQ(Count(r, "filepath"), 1);
  EXPECT_EQ(Value(r, "filepath"), message);
  EXPECT_EQ(Value(r, "filename"), "<null>");
  EXPECT_EQ(Value(r, "position"), "-1");
}

TEST_F(MapiSend, TheFileVocaletWritesIsReadAsItWasMeant) {
  TSMapiMessage mail;
  mail.Subject = "Voice\r\nmessage";
  mail.Text = "\r\nFirst line\r\nsecond\nthird\rfourth \\n";
  // Paths that the profile functions cannot carry as keys.
  std::string odd[] = {dir.Path() + "\\a=b.wav", dir.Path() + "\\;c.wav", dir.Path() + "\\[d].wav"};
  for (const std::string& f : odd) WriteWholeFile(f, "RIFF....WAVE");
  mail.Files = {odd[0], odd[1], odd[2]};
  mail.SaveToFile(mailFile);
  ASSERT_EQ(SendMailFile(), 0);
  TRecord r = Record();
  EXPECT_EQ(Value(r, "subject"), "Voice\r\nmessage");
  EXPECT_EQ(Value(r, "text"), mail.Text);
  ASSERT_EQ(Count(r, "filepath"), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Value(r, "filepath", i), odd[i]);
  EXPECT_EQ(Count(r, "recipclass"), 0);
}

TEST_F(MapiSend, ARecipientAndEveryFileAreHandedOn) {
  std::string second = dir.Path() + "\\second file.wav";
  TMailFile{"Ann Example", "ann@example.org", "Hi", "one line", {message, second}, {}}
      .Write(mailFile);
  ASSERT_EQ(SendMailFile(), 0);
  TRecord r = Record();
  EXPECT_EQ(Value(r, "recipclass"), "1");  // MAPI_TO
  EXPECT_EQ(Value(r, "recipname"), "Ann Example");
  EXPECT_EQ(Value(r, "recipaddr"), "SMTP:ann@example.org");
  ASSERT_EQ(Count(r, "filepath"), 2);
  EXPECT_EQ(Value(r, "filepath", 0), message);
  EXPECT_EQ(Value(r, "filepath", 1), second);
}

TEST_F(MapiSend, AnAddressWithoutANameIsAlsoTheDisplayName) {
  TMailFile{"", "bob@example.org", "Hi", "", {message}, {}}.Write(mailFile);
  ASSERT_EQ(SendMailFile(), 0);
  TRecord r = Record();
  EXPECT_EQ(Value(r, "recipname"), "bob@example.org");
  EXPECT_EQ(Value(r, "recipaddr"), "SMTP:bob@example.org");
  EXPECT_EQ(Value(r, "text"), "");
}

TEST_F(MapiSend, FileNamesNameTheAttachmentsOnlyWhenThereIsOneForEachFile) {
  std::string second = dir.Path() + "\\b.wav";
  TMailFile{"", "", "S", "", {message, second}, {"First.wav", "Second.wav"}}.Write(mailFile);
  ASSERT_EQ(SendMailFile(), 0);
  TRecord r = Record();
  EXPECT_EQ(Value(r, "filename", 0), "First.wav");
  EXPECT_EQ(Value(r, "filename", 1), "Second.wav");

  WritePrivateProfileStringA("FileNames", nullptr, nullptr, mailFile.c_str());
  TMailFile{"", "", "S", "", {}, {"Only.wav"}}.Write(mailFile);
  ASSERT_EQ(SendMailFile(), 0);
  r = Record();
  EXPECT_EQ(Value(r, "filename", 0), "<null>");
  EXPECT_EQ(Value(r, "filename", 1), "<null>");
}

TEST_F(MapiSend, OnlyTheWritersEscapesAreUndoneAndALongBodyIsReadWhole) {
  std::string body = "a\\\\nb\\tc";  // a, a doubled backslash, n, b, "\t", c
  for (int i = 0; i < 500; ++i) body += "\\n0123456789";
  TMailFile{"", "", "S", body, {message}, {}}.Write(mailFile);
  ASSERT_EQ(SendMailFile(), 0);
  std::string expected = "a\\nb\\tc";
  for (int i = 0; i < 500; ++i) expected += "\r\n0123456789";
  EXPECT_EQ(Value(Record(), "text"), expected);
}

TEST_F(MapiSend, ARefusalEndsQuietlyWithMapisCodeAndChangesNoFile) {
  TMailFile{"", "", "Voice message", kBody, {message}, {}}.Write(mailFile);
  std::string before = ReadWholeFile(mailFile);
  WriteWholeFile(dir.Path() + "\\mapi-result.txt", "2");  // MAPI_E_FAILURE
  EXPECT_EQ(SendMailFile(), 2);
  WriteWholeFile(dir.Path() + "\\mapi-result.txt", "1");  // MAPI_USER_ABORT
  EXPECT_EQ(SendMailFile(), 1);
  EXPECT_EQ(ReadWholeFile(mailFile), before);
  EXPECT_EQ(ReadWholeFile(message), "RIFF....WAVE");
}

TEST_F(MapiSend, AMissingOrUnnamedFileEndsWithoutCallingMapi) {
  EXPECT_EQ(Send("\"" + dir.Path() + "\\nothere.dat\""), 101);
  EXPECT_EQ(Send(""), 100);
  EXPECT_EQ(Send("\"" + dir.Path() + "\""), 101);  // a folder is no hand-off file
  EXPECT_FALSE(FileExists(dir.Path() + "\\mapi-record.txt"));
  EXPECT_FALSE(FileExists(dir.Path() + "\\nothere.dat"));
}

// Under Wine with Wine's own mapi32: the stand-in xdg-email first on the Unix PATH.
class WineSend : public ::testing::Test {
 protected:
  TestFolder dir;
  std::string fakeBin = WinPathFromEnv("VOCALET_FAKE_XDG_DIR");
  std::string mailFile, message;
  void SetUp() override {
    if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
      GTEST_SKIP() << "not under Wine";
    DeleteFileA((fakeBin + "\\xdg-email.args").c_str());
    DeleteFileA((fakeBin + "\\xdg-email.exit").c_str());
    mailFile = dir.Path() + "\\eMail.dat";
    message = dir.Path() + "\\vocalet.wav";
    WriteWholeFile(message, "RIFF....WAVE");
  }
  void TearDown() override {
    DeleteFileA((fakeBin + "\\xdg-email.args").c_str());
    DeleteFileA((fakeBin + "\\xdg-email.exit").c_str());
  }
  long SendMailFile() {
    return RunAndWait("\"" + BinDir() + "\\SendMail.exe\" \"" + mailFile + "\"");
  }
  std::vector<std::string> Arguments() {
    std::string data = ReadWholeFile(fakeBin + "\\xdg-email.args");
    std::vector<std::string> args;
    size_t start = 0;
    for (size_t end; (end = data.find('\0', start)) != std::string::npos; start = end + 1)
      args.push_back(data.substr(start, end - start));
    return args;
  }
  static std::string UnixPath(const std::string& path) {
    using TGetUnixName = char*(CDECL*)(const WCHAR*);
    auto f = reinterpret_cast<TGetUnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::wstring w(path.begin(), path.end());
    char* u = f(w.c_str());
    std::string s = u ? u : "";
    HeapFree(GetProcessHeap(), 0, u);
    return s;
  }
};

TEST_F(WineSend, XdgEmailGetsSubjectBodyAndTheMessagesUnixPath) {
  TMailFile{"", "", "Voice message", kBody, {message}, {}}.Write(mailFile);
  ASSERT_EQ(SendMailFile(), 0);
  std::string unixMessage = UnixPath(message);
  ASSERT_EQ(unixMessage.substr(0, 1), "/");
  std::vector<std::string> expected{"--utf8",   "--subject", "Voice message", "--body",
                                    "\nThis e-mail contains a voice message.\n\nBye",
                                    "--attach", unixMessage};
  EXPECT_EQ(Arguments(), expected);
}

TEST_F(WineSend, TextsBecomeUtf8AndTheAddressComesLast) {
  TMailFile{"J\xF6rg", "joerg@example.org", "Gr\xFC\xDF" "e", "Sch\xF6ne\\nGr\xFC\xDF" "e",
            {message}, {}}
      .Write(mailFile);
  ASSERT_EQ(SendMailFile(), 0);
  std::vector<std::string> args = Arguments();
  ASSERT_EQ(args.size(), 8u);
  EXPECT_EQ(args[2], "Gr\xC3\xBC\xC3\x9F" "e");
  EXPECT_EQ(args[4], "Sch\xC3\xB6ne\nGr\xC3\xBC\xC3\x9F" "e");
  EXPECT_EQ(args[7], "joerg@example.org");
}

TEST_F(WineSend, AFailingMailProgramEndsWithANonZeroCode) {
  // What xdg-email answers when no mail program is configured or found.
  WriteWholeFile(fakeBin + "\\xdg-email.exit", "3");
  TMailFile{"", "", "Voice message", kBody, {message}, {}}.Write(mailFile);
  EXPECT_EQ(SendMailFile(), 103);
  EXPECT_FALSE(Arguments().empty()) << "the stand-in ran";
  EXPECT_TRUE(FileExists(mailFile));
  EXPECT_TRUE(FileExists(message));
}

}  // namespace
