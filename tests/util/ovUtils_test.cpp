#include "util/ovUtils.h"

#include <gtest/gtest.h>

#include <fstream>

#include "TestFolder.h"

namespace {

TEST(PathMacros, RealFoldersExpand) {
  const std::string temp = GetTempDir();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_EQ(ExpandPathMacros("<TempDir>\\vocalet.wav"), temp + "vocalet.wav");
  for (const char* macro : {"<ThisDir>", "<ProgramFilesDir>", "<CommonFilesDir>", "<SystemDir>",
                            "<WindowsDir>"}) {
    const std::string folder = ExpandPathMacros(macro);
    EXPECT_TRUE(folder != macro && DirectoryExists(folder)) << macro << " " << folder;
  }
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
  CurrentVersionKey = saved;
  EXPECT_EQ(error,
            "Cannot access system registry infromation in:\\n"
            "HKEY_LOCAL_MACHINE\\Software\\Vocalet Test\\No Such Key\\n\\n"
            "Please make sure that you have a proper access rights to the system.");
}

TEST(Folders, DirectoryExistsShortForms) {
  TestFolder t;
  std::ofstream(t.Path() + "\\file") << "x";
  const std::pair<std::string, bool> cases[] = {
      {"", false}, {"C", false}, {"Q:", true}, {"Q:\\", true},  // drive letters are not tested
      {t.Path() + "\\", true}, {t.Path() + "\\file", false}, {t.Path() + "\\missing", false}};
  for (const auto& [path, exists] : cases) EXPECT_EQ(DirectoryExists(path), exists) << path;
}

TEST(Folders, ForceDirectoriesCreatesEachLevelAndLogsIt) {
  TestFolder t;
  std::vector<std::string> log;
  const std::string a = t.Path() + "\\A", b = a + "\\B";
  EXPECT_TRUE(ForceDirectories(b + "\\", &log));
  EXPECT_EQ(log, (std::vector<std::string>{a, b}));
  EXPECT_FALSE(ForceDirectories("no such bare name"));  // one level: nothing to create it in
  // A level past the first fails: what was made stays, and is logged.
  log.clear();
  EXPECT_FALSE(ForceDirectories(b + "\\C\\" + std::string(300, 'x') + "\\D", &log));
  EXPECT_EQ(log, std::vector<std::string>{b + "\\C"});
  EXPECT_TRUE(DirectoryExists(b + "\\C"));
}

TEST(Files, VersionText) {
  EXPECT_EQ(GetFileVersionText(std::string(getenv("VOCALET_BIN_DIR")) + "/Vocalet.exe"),
            "1.0.0.1");
  TestFolder t;
  std::ofstream(t.Path() + "\\plain.txt") << "no version here";
  EXPECT_EQ(GetFileVersionText(t.Path() + "\\plain.txt"), "(Unknown)");
}

TEST(Texts, FormatFileSizeAndRecordedTimeUseTheLocale) {
  const std::string mb = FormatFileSize(1536000);
  EXPECT_EQ(mb.front() + mb.substr(mb.size() - 5), "150 MB");
  char saved[80] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, saved, sizeof saved);
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, "dd.MM.yyyy"));
  const std::string text = FormatRecordedTime(EncodeDateTime({2026, 3, 4, 17, 8, 0}));
  SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, saved);
  EXPECT_EQ(text.rfind("04.03.2026 5:08 ", 0), 0u) << text;
}

TEST(Registry, ReadingNeverCreatesAKey) {
  const std::string key = "Software\\Quindle\\VocaletTest\\Missing";
  EXPECT_FALSE(TRegistryEx().OpenKeyReadOnly(key));
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "S", "def"), "def");
  HKEY h = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h), ERROR_SUCCESS);
  if (h) RegCloseKey(h);
}

}  // namespace
