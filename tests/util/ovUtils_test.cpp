#include "util/ovUtils.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "TestFolder.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

TEST(PathMacros, RealFoldersExpand) {
  const std::string temp = GetTempDir();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_EQ(ExpandPathMacros("<TempDir>\\vocalet.wav"), temp + "vocalet.wav");
  EXPECT_EQ(ExpandPathMacros("<ThisDir>\\mls"), GetThisDir() + "\\mls");
  for (const char* macro : {"<ThisDir>", "<ProgramFilesDir>", "<CommonFilesDir>", "<SystemDir>",
                            "<WindowsDir>"}) {
    const std::string folder = ExpandPathMacros(macro);
    EXPECT_TRUE(folder != macro && DirectoryExists(folder)) << macro << " " << folder;
  }
  EXPECT_EQ(ReadCurrentVersionValue("No Such Value Here"), "");
}

TEST(PathMacros, UnreadableRegistryKeyReachesTheCaller) {
  const std::string saved = CurrentVersionKey;
  CurrentVersionKey = "Software\\Vocalet Test\\No Such Key";
  std::string error = "no exception";
  try {
    ExpandPathMacros("<ProgramFilesDir>\\x");
  } catch (const std::runtime_error& e) {
    error = e.what();
  }
  EXPECT_EQ(ExpandPathMacros("<TempDir>"), GetTempDir());  // needs no registry
  CurrentVersionKey = saved;
  EXPECT_EQ(error,
            "Cannot access system registry infromation in:\\n"
            "HKEY_LOCAL_MACHINE\\Software\\Vocalet Test\\No Such Key\\n\\n"
            "Please make sure that you have a proper access rights to the system.");
}

TEST(Folders, DirectoryExistsShortForms) {
  TestFolder t;
  WriteAll(t.Path() + "\\file", "x");
  const std::pair<std::string, bool> cases[] = {
      {"", false}, {"C", false}, {"Q:", true}, {"Q:\\", true},  // drive letters are not tested
      {t.Path(), true}, {t.Path() + "\\", true}, {t.Path() + "\\file", false},
      {t.Path() + "\\missing", false}};
  for (const auto& [path, exists] : cases) EXPECT_EQ(DirectoryExists(path), exists) << path;
}

TEST(Folders, ForceDirectoriesCreatesEachLevelAndLogsIt) {
  TestFolder t;
  std::vector<std::string> log;
  const std::string a = t.Path() + "\\A", b = a + "\\B";
  EXPECT_TRUE(ForceDirectories(b + "\\", &log));
  EXPECT_EQ(log, (std::vector<std::string>{a, b}));
  EXPECT_TRUE(DirectoryExists(b));
  log.clear();
  EXPECT_TRUE(ForceDirectories(b, &log));  // already there
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(ForceDirectories(""));
  EXPECT_FALSE(ForceDirectories("no such bare name"));  // one level: nothing to create it in
  // A level past the first fails: what was made stays, and is logged.
  EXPECT_FALSE(ForceDirectories(b + "\\C\\" + std::string(300, 'x') + "\\D", &log));
  EXPECT_EQ(log, std::vector<std::string>{b + "\\C"});
  EXPECT_TRUE(DirectoryExists(b + "\\C"));
}

TEST(Files, CopyFileDataReplacesTheDestinationWithTheSource) {
  TestFolder t;
  const std::string src = t.Path() + "\\src.bin", dst = t.Path() + "\\dst.bin";
  std::string data;
  for (int i = 0; i < 5000; ++i) data += static_cast<char>(i * 7);  // not a multiple of 2048
  WriteAll(src, data);
  WriteAll(dst, std::string(9000, 'z'));
  EXPECT_EQ(CopyFileData(src, dst), 5000);
  EXPECT_EQ(ReadAll(dst), data);
  EXPECT_EQ(CopyFileData(src, t.Path() + "\\new.bin"), 5000);
  EXPECT_EQ(ReadAll(t.Path() + "\\new.bin"), data);
  EXPECT_EQ(CopyFileData(t.Path() + "\\missing", dst), 0);
  EXPECT_EQ(CopyFileData(src, t.Path() + "\\no\\such\\folder\\x"), 0);
  WriteAll(src, "");
  EXPECT_EQ(CopyFileData(src, dst), 0);
  EXPECT_EQ(ReadAll(dst), "");
}

TEST(Files, SizeAndDate) {
  TestFolder t;
  const std::string f = t.Path() + "\\f";
  WriteAll(f, std::string(1234, 'a'));
  EXPECT_EQ(FileSizeOf(f), 1234);
  EXPECT_EQ(FileSizeOf(t.Path() + "\\missing"), 0);
  EXPECT_EQ(FileDateOf(t.Path() + "\\missing"), 0.0);
  SYSTEMTIME st;
  GetLocalTime(&st);
  const TDateParts d = DecodeDateTime(FileDateOf(f));
  EXPECT_EQ(d.year * 100 + d.month, st.wYear * 100 + st.wMonth);
}

TEST(Files, VersionText) {
  DWORD ms = 77, ls = 88;
  EXPECT_EQ(GetFileVersionText(std::string(getenv("VOCALET_BIN_DIR")) + "/Vocalet.exe", ms, ls),
            "1.0.0.1");
  EXPECT_EQ(ms, 0x00010000u);
  EXPECT_EQ(ls, 0x00000001u);
  TestFolder t;
  WriteAll(t.Path() + "\\plain.txt", "no version here");
  EXPECT_EQ(GetFileVersionText(t.Path() + "\\plain.txt", ms, ls), "(Unknown)");
  EXPECT_EQ(ms, 0x00010000u);  // untouched
  EXPECT_EQ(GetFileVersionText(t.Path() + "\\missing.exe"), "(Unknown)");
}

TEST(Texts, FormatFileSizeAndRecordedTimeUseTheLocale) {
  EXPECT_EQ(FormatFileSize(1024), "1 KB");
  const std::string mb = FormatFileSize(1536000);
  EXPECT_EQ(mb.front() + mb.substr(mb.size() - 5), "150 MB");
  char saved[80] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, saved, sizeof saved);
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, "dd.MM.yyyy"));
  const std::string text = FormatRecordedTime(EncodeDateTime({2026, 3, 4, 17, 8, 0}));
  SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, saved);
  EXPECT_EQ(text.rfind("04.03.2026 5:08 ", 0), 0u) << text;
}

TEST(Launch, BuildCommandLine) {
  TestFolder t;
  char cur[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cur);
  const std::string x = "C:\\Program Files\\x.exe";
  const struct {
    std::string program, parameters, folder, folderOut, commandLine;
  } cases[] = {
      {x, "\"a b\"", t.Path(), t.Path(), "\"" + x + "\" \"a b\""},
      {x, "", "", "C:\\Program Files", "\"" + x + "\" "},
      {"", "", "", cur, ""},
      {"x.exe", "", t.Path() + "\\missing", cur, "x.exe "},  // a missing folder: the current one
      {t.Path() + "\\x.exe", "", "", t.Path(), t.Path() + "\\x.exe "},  // the program's folder
      {"x.exe", "", "Q:", "Q:", "x.exe "},  // a drive letter is taken without a test
  };
  for (const auto& c : cases) {
    std::string folder, cmd;
    BuildCommandLine(c.program, c.parameters, c.folder, folder, cmd);
    EXPECT_EQ(folder, c.folderOut) << c.program;
    EXPECT_EQ(cmd, c.commandLine) << c.program;
  }
}

TEST(Launch, AChildProcessReallyStarts) {
  TestFolder t;
  const std::string marker = t.Path() + "\\marker.txt";
  ASSERT_TRUE(LaunchProgram(GetSystemDir() + "\\cmd.exe", "/c echo started> \"" + marker + "\"",
                            t.Path(), SW_HIDE));
  for (int i = 0; i < 200 && FileSizeOf(marker) == 0; ++i) Sleep(50);
  EXPECT_NE(ReadAll(marker).find("started"), std::string::npos);
  EXPECT_FALSE(LaunchProgram(t.Path() + "\\no such program.exe", "", ""));
}

// Reading and writing values is the options store's part; here: keys and their paths.
TEST(Registry, KeysOpenByPathAndReadOnlyNeverCreatesOne) {
  const std::string key = "Software\\Quindle\\VocaletTest";
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(key, true));
    reg.WriteString("S", "text");
    ASSERT_TRUE(reg.OpenKey("Sub", true));  // relative to the open key
    EXPECT_EQ(reg.CurrentPath(), key + "\\Sub");
  }
  TRegistryEx ro;
  EXPECT_FALSE(ro.OpenKeyReadOnly(key + "\\Missing"));
  EXPECT_FALSE(TRegistry().KeyExists(key + "\\Missing"));
  ASSERT_TRUE(ro.OpenKeyReadOnly("\\" + key));
  EXPECT_EQ(ro.CurrentPath(), key);
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "S", "def"), "text");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "none", "def"), "def");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key + "\\Missing", "S", "def"), "def");
  ro.CloseKey();
  RegDeleteKeyA(HKEY_CURRENT_USER, (key + "\\Sub").c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
