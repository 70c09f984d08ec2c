// Shell links and special folders through the platform's shell (under Wine).
#include "desktop/ShLinks.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <fstream>

#include "TestFolder.h"

namespace {

std::string ThisProgram() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

bool FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

struct ShellLinks : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
  TestFolder folder;
};

TEST_F(ShellLinks, TargetAndHotKeyAloneReadBackWithTheIconAtTheTarget) {
  TShellLinkInfo info;
  info.Path = ThisProgram();
  info.HotKey = 0x0656;
  std::string linkPath;
  ASSERT_TRUE(CreateShellLinkEx("Quindle Vocalet.lnk", folder.Path(), CSIDL_DESKTOP, info,
                                linkPath, nullptr));
  EXPECT_EQ(linkPath, folder.Path() + "\\Quindle Vocalet.lnk") << "a given folder wins";
  ASSERT_TRUE(FileExists(linkPath));

  TShellLinkInfo back;
  back.Arguments = "stale";
  ASSERT_TRUE(ReadShellLink(linkPath, back));
  EXPECT_EQ(Lower(back.Path), Lower(info.Path));
  EXPECT_EQ(back.HotKey, 0x0656);
  EXPECT_EQ(back.Arguments, "");
  EXPECT_EQ(back.WorkingDirectory, "");
  EXPECT_EQ(back.Description, "");
  EXPECT_EQ(Lower(back.IconLocation), Lower(info.Path)) << "no icon of its own: the target's";
  EXPECT_EQ(back.IconIndex, 0);
}

TEST_F(ShellLinks, EveryFieldIsKept) {
  TShellLinkInfo info;
  info.Path = ThisProgram();
  info.Arguments = "/record \"a b\"";
  info.WorkingDirectory = folder.Path();
  info.Description = "Record a voice message";
  info.IconLocation = "C:\\windows\\system32\\shell32.dll";
  info.IconIndex = 3;
  info.HotKey = 0x057B;  // Shift+Alt+F12
  ASSERT_TRUE(CreateShellLink("full.lnk", folder.Path(), 0, info));
  TShellLinkInfo back;
  ASSERT_TRUE(ReadShellLink(folder.Path() + "\\full.lnk", back));
  EXPECT_EQ(back.Arguments, info.Arguments);
  EXPECT_EQ(Lower(back.WorkingDirectory), Lower(info.WorkingDirectory));
  EXPECT_EQ(back.Description, info.Description);
  EXPECT_EQ(Lower(back.IconLocation), Lower(info.IconLocation));
  EXPECT_EQ(back.IconIndex, 3);
  EXPECT_EQ(back.HotKey, 0x057B);
}

TEST_F(ShellLinks, AMissingFolderChainIsCreatedAndLoggedOutermostFirst) {
  const std::string a = folder.Path() + "\\Programs", b = a + "\\Quindle", c = b + "\\Vocalet";
  std::vector<std::string> log{"earlier entry"};
  std::string linkPath;
  TShellLinkInfo info;
  info.Path = ThisProgram();
  ASSERT_TRUE(CreateShellLinkEx("Quindle Vocalet.lnk", c, 0, info, linkPath, &log));
  EXPECT_EQ(log, (std::vector<std::string>{"earlier entry", a, b, c}));
  EXPECT_TRUE(FileExists(c + "\\Quindle Vocalet.lnk"));
  // Once there, nothing more is created or logged.
  log.clear();
  ASSERT_TRUE(CreateShellLinkEx("Second.lnk", c, 0, info, linkPath, &log));
  EXPECT_TRUE(log.empty());
}

TEST_F(ShellLinks, AFolderGivenWithItsOwnBackslashStillWorks) {
  TShellLinkInfo info;
  info.Path = ThisProgram();
  std::string linkPath;
  ASSERT_TRUE(CreateShellLinkEx("x.lnk", folder.Path() + "\\", 0, info, linkPath, nullptr));
  EXPECT_EQ(linkPath, folder.Path() + "\\\\x.lnk") << "one more separator, always";
  EXPECT_TRUE(FileExists(folder.Path() + "\\x.lnk"));
  TShellLinkInfo back;
  ASSERT_TRUE(ReadShellLink(linkPath, back));
  EXPECT_EQ(Lower(back.Path), Lower(info.Path));
}

TEST_F(ShellLinks, AFileThatIsNotALinkReadsAsAnEmptyLink) {
  const std::string text = folder.Path() + "\\notes.lnk";
  std::ofstream(text) << "not a shell link at all";
  TShellLinkInfo back;
  back.Path = back.Description = back.IconLocation = "stale";
  back.IconIndex = 7;
  back.HotKey = 0x0656;
  EXPECT_TRUE(ReadShellLink(text, back));
  EXPECT_EQ(back.Path, "");
  EXPECT_EQ(back.Description, "");
  EXPECT_EQ(back.IconLocation, "");
  EXPECT_EQ(back.IconIndex, 0);
  EXPECT_EQ(back.HotKey, 0);
  // And one that does not exist at all.
  EXPECT_TRUE(ReadShellLink(folder.Path() + "\\absent.lnk", back));
  EXPECT_EQ(back.HotKey, 0);
}

TEST_F(ShellLinks, AnInvalidSpecialFolderLeavesThePathAndCreatesNothing) {
  std::string path = "unchanged";
  GetSpecialFolderPath(0x7F, path);
  EXPECT_EQ(path, "unchanged");
  std::string linkPath = "stale";
  TShellLinkInfo info;
  info.Path = ThisProgram();
  EXPECT_FALSE(CreateShellLinkEx("x.lnk", "", 0x7F, info, linkPath, nullptr));
  EXPECT_EQ(linkPath, "");
}

TEST_F(ShellLinks, TheDocumentsFolderIsAnExistingFolder) {
  std::string path;
  GetSpecialFolderPath(CSIDL_PERSONAL, path);
  ASSERT_FALSE(path.empty());
  const DWORD a = GetFileAttributesA(path.c_str());
  EXPECT_TRUE(a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) << path;
}

TEST_F(ShellLinks, TheCallersOleInitialisationSurvives) {
  TShellLinkInfo info;
  info.Path = ThisProgram();
  ASSERT_TRUE(CreateShellLink("x.lnk", folder.Path(), 0, info));
  ReadShellLink(folder.Path() + "\\x.lnk", info);
  std::string path;
  GetSpecialFolderPath(CSIDL_PERSONAL, path);
  // Still initialised: a further CoInitialize only counts up.
  const HRESULT hr = CoInitialize(nullptr);
  EXPECT_EQ(hr, S_FALSE);
  if (SUCCEEDED(hr)) CoUninitialize();
}

DWORD WINAPI MultiThreadedReader(void* param) {
  auto* ok = static_cast<bool*>(param);
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  TShellLinkInfo info;
  ReadShellLink("C:\\nowhere.lnk", info);
  // The thread's own initialisation is untouched by a call that could not join it.
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  *ok = hr == S_FALSE;
  if (SUCCEEDED(hr)) CoUninitialize();
  CoUninitialize();
  return 0;
}

TEST(ShellLinksThreads, AThreadOfTheOtherApartmentKeepsItsInitialisation) {
  bool ok = false;
  HANDLE thread = CreateThread(nullptr, 0, MultiThreadedReader, &ok, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  EXPECT_TRUE(ok);
}

}  // namespace
