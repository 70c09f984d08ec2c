#include "util/ovUtils.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "TestFolder.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << data;
}

TEST(PathMacros, RealFoldersExpand) {
  std::string temp = GetTempDir();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_EQ(ExpandPathMacros("<TempDir>\\vocalet.wav"), temp + "vocalet.wav");
  EXPECT_EQ(ExpandPathMacros("<ThisDir>\\mls"), GetThisDir() + "\\mls");
  EXPECT_TRUE(DirectoryExists(GetThisDir()));
  std::string pf = ExpandPathMacros("<ProgramFilesDir>");
  EXPECT_FALSE(pf.empty());
  EXPECT_TRUE(DirectoryExists(pf)) << pf;
  EXPECT_TRUE(DirectoryExists(ExpandPathMacros("<CommonFilesDir>")));
  EXPECT_TRUE(DirectoryExists(ExpandPathMacros("<SystemDir>")));
}

TEST(PathMacros, UnreadableRegistryKeyReachesTheCaller) {
  std::string saved = CurrentVersionKey;
  CurrentVersionKey = "Software\\Vocalet Test\\No Such Key";
  try {
    ExpandPathMacros("<ProgramFilesDir>\\x");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot access system registry infromation in:\\n"
              "HKEY_LOCAL_MACHINE\\Software\\Vocalet Test\\No Such Key\\n\\n"
              "Please make sure that you have a proper access rights to the system.");
  }
  // Folders that need no registry still expand.
  EXPECT_EQ(ExpandPathMacros("<TempDir>"), GetTempDir());
  CurrentVersionKey = saved;
}

TEST(PathMacros, MissingValueIsEmpty) {
  EXPECT_EQ(ReadCurrentVersionValue("No Such Value Here"), "");
}

TEST(Folders, DirectoryExistsShortForms) {
  EXPECT_FALSE(DirectoryExists(""));
  EXPECT_FALSE(DirectoryExists("C"));
  EXPECT_TRUE(DirectoryExists("Q:"));   // drive letters are not tested
  EXPECT_TRUE(DirectoryExists("Q:\\"));
  TestFolder t;
  EXPECT_TRUE(DirectoryExists(t.Path()));
  EXPECT_TRUE(DirectoryExists(t.Path() + "\\"));
  WriteAll(t.Path() + "\\file", "x");
  EXPECT_FALSE(DirectoryExists(t.Path() + "\\file"));
  EXPECT_FALSE(DirectoryExists(t.Path() + "\\missing"));
}

TEST(Folders, ForceDirectoriesCreatesEachLevelAndLogsIt) {
  TestFolder t;
  std::vector<std::string> log;
  std::string a = t.Path() + "\\A", b = a + "\\B";
  EXPECT_TRUE(ForceDirectories(b + "\\", &log));
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], a);
  EXPECT_EQ(log[1], b);
  EXPECT_TRUE(DirectoryExists(b));
  log.clear();
  EXPECT_TRUE(ForceDirectories(b, &log));  // already there
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(ForceDirectories(""));
}

TEST(Folders, ForceDirectoriesKeepsWhatItMadeWhenALevelFails) {
  TestFolder t;
  std::vector<std::string> log;
  // The second level's name is longer than any file system takes.
  std::string made = t.Path() + "\\A";
  EXPECT_FALSE(ForceDirectories(made + "\\" + std::string(300, 'x') + "\\B", &log));
  EXPECT_EQ(log, std::vector<std::string>{made});
  EXPECT_TRUE(DirectoryExists(made));
}

TEST(Files, CopyFileDataLeavesTheDestinationEqualToTheSource) {
  TestFolder t;
  std::string src = t.Path() + "\\src.bin", dst = t.Path() + "\\dst.bin";
  std::string data;
  for (int i = 0; i < 5000; ++i) data += static_cast<char>(i * 7);  // not a multiple of 2048
  WriteAll(src, data);
  WriteAll(dst, std::string(9000, 'z'));  // longer than the source
  EXPECT_EQ(CopyFileData(src, dst), 5000);
  EXPECT_EQ(ReadAll(dst), data);
  // A destination that does not exist yet is created.
  EXPECT_EQ(CopyFileData(src, t.Path() + "\\new.bin"), 5000);
  EXPECT_EQ(ReadAll(t.Path() + "\\new.bin"), data);
  // Empty source: nothing copied, destination emptied.
  WriteAll(src, "");
  EXPECT_EQ(CopyFileData(src, dst), 0);
  EXPECT_EQ(ReadAll(dst), "");
}

TEST(Files, CopyFileDataFailures) {
  TestFolder t;
  EXPECT_EQ(CopyFileData(t.Path() + "\\missing", t.Path() + "\\x"), 0);
  WriteAll(t.Path() + "\\src", "abc");
  EXPECT_EQ(CopyFileData(t.Path() + "\\src", t.Path() + "\\no\\such\\folder\\x"), 0);
}

TEST(Files, SizeAndDate) {
  TestFolder t;
  std::string f = t.Path() + "\\f";
  WriteAll(f, std::string(1234, 'a'));
  EXPECT_EQ(FileSizeOf(f), 1234);
  EXPECT_EQ(FileSizeOf(t.Path() + "\\missing"), 0);
  EXPECT_EQ(FileDateOf(t.Path() + "\\missing"), 0.0);
  SYSTEMTIME st;
  GetLocalTime(&st);
  TDateParts d = DecodeDateTime(FileDateOf(f));
  EXPECT_EQ(d.year, st.wYear);
  EXPECT_EQ(d.month, st.wMonth);
}

TEST(Files, VersionTextOfTheProgram) {
  std::string exe = std::string(getenv("VOCALET_BIN_DIR")) + "/Vocalet.exe";
  DWORD ms = 0, ls = 0;
  std::string text = GetFileVersionText(exe, ms, ls);
  EXPECT_EQ(text, "1.0.0.1");
  EXPECT_EQ(ms, 0x00010000u);
  EXPECT_EQ(ls, 0x00000001u);
}

TEST(Files, VersionTextWithoutVersionResource) {
  TestFolder t;
  WriteAll(t.Path() + "\\plain.txt", "no version here");
  DWORD ms = 77, ls = 88;
  EXPECT_EQ(GetFileVersionText(t.Path() + "\\plain.txt", ms, ls), "(Unknown)");
  EXPECT_EQ(ms, 77u);
  EXPECT_EQ(ls, 88u);
  EXPECT_EQ(GetFileVersionText(t.Path() + "\\missing.exe"), "(Unknown)");
}

TEST(Texts, FormatFileSizeUsesTheLocale) {
  EXPECT_EQ(FormatFileSize(0), "None");
  EXPECT_EQ(FormatFileSize(1024), "1 KB");
  std::string mb = FormatFileSize(1536000);
  EXPECT_EQ(mb.substr(0, 1), "1");
  EXPECT_EQ(mb.substr(mb.size() - 5), "50 MB");
}

TEST(Texts, FormatRecordedTimeUsesTheUsersShortDate) {
  char saved[80] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, saved, sizeof saved);
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, "dd.MM.yyyy"));
  std::string text = FormatRecordedTime(EncodeDateTime({2026, 3, 4, 17, 8, 0}));
  SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, saved);
  EXPECT_EQ(text.rfind("04.03.2026 5:08 ", 0), 0u) << text;
}

TEST(Launch, BuildCommandLine) {
  TestFolder t;
  std::string folder, cmd;
  BuildCommandLine("C:\\Program Files\\x.exe", "\"a b\"", t.Path(), folder, cmd);
  EXPECT_EQ(cmd, "\"C:\\Program Files\\x.exe\" \"a b\"");
  EXPECT_EQ(folder, t.Path());
  BuildCommandLine("C:\\Program Files\\x.exe", "", "", folder, cmd);
  EXPECT_EQ(cmd, "\"C:\\Program Files\\x.exe\" ");
  BuildCommandLine("", "", "", folder, cmd);
  EXPECT_EQ(cmd, "");
  // A working folder that does not exist falls back to the current directory.
  char cur[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cur);
  BuildCommandLine("x.exe", "", t.Path() + "\\missing", folder, cmd);
  EXPECT_EQ(folder, cur);
  // The program's folder is the default.
  BuildCommandLine(t.Path() + "\\x.exe", "", "", folder, cmd);
  EXPECT_EQ(folder, t.Path());
  // A drive letter and colon is taken without a test.
  BuildCommandLine("x.exe", "", "Q:", folder, cmd);
  EXPECT_EQ(folder, "Q:");
}

TEST(Launch, AChildProcessReallyStarts) {
  TestFolder t;
  std::string marker = t.Path() + "\\marker.txt";
  std::string cmdExe = GetSystemDir() + "\\cmd.exe";
  ASSERT_TRUE(LaunchProgram(cmdExe, "/c echo started> \"" + marker + "\"", t.Path(), SW_HIDE));
  for (int i = 0; i < 200 && FileSizeOf(marker) == 0; ++i) Sleep(50);
  EXPECT_NE(ReadAll(marker).find("started"), std::string::npos);
  EXPECT_FALSE(LaunchProgram(t.Path() + "\\no such program.exe", "", ""));
}

TEST(Registry, ReadsAndWritesUnderACurrentKey) {
  const std::string key = "Software\\Quindle\\VocaletTest";
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(key, true));
    EXPECT_EQ(reg.CurrentPath(), key);
    reg.WriteString("S", "text");
    reg.WriteInteger("I", -7);
    EXPECT_EQ(reg.ReadString("S"), "text");
    EXPECT_EQ(reg.ReadInteger("I"), -7);
    EXPECT_EQ(reg.ReadString("missing"), "");
    EXPECT_THROW(reg.ReadInteger("missing"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("S"), ERegistryException);
    EXPECT_THROW(reg.ReadString("I"), ERegistryException);
    ASSERT_TRUE(reg.OpenKey("Sub", true));
    EXPECT_EQ(reg.CurrentPath(), key + "\\Sub");
  }
  TRegistryEx ro;
  EXPECT_FALSE(ro.OpenKeyReadOnly(key + "\\Missing"));
  EXPECT_FALSE(ro.KeyExists(key + "\\Missing"));
  ASSERT_TRUE(ro.OpenKeyReadOnly("\\" + key));
  EXPECT_EQ(ro.CurrentPath(), key);
  ASSERT_TRUE(ro.OpenKeyReadOnly("Sub"));  // relative to the open key
  EXPECT_EQ(ro.CurrentPath(), key + "\\Sub");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "S", "def"), "text");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "none", "def"), "def");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key + "\\Missing", "S", "def"), "def");
  ro.CloseKey();
  RegDeleteKeyA(HKEY_CURRENT_USER, (key + "\\Sub").c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

TEST(Registry, ReadOnlyKeyIsNeverCreated) {
  TRegistryEx reg;
  EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\Quindle\\VocaletNeverCreated"));
  TRegistry check;
  EXPECT_FALSE(check.KeyExists("Software\\Quindle\\VocaletNeverCreated"));
}

}  // namespace
