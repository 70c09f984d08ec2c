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

bool SameText(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

struct ShellLinks : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    info.Path = ThisProgram();
  }
  void TearDown() override {
    // Still initialised: a further CoInitialize only counts up.
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE) << "the caller's OLE initialisation survives";
    CoUninitialize();
    OleUninitialize();
  }
  TestFolder folder;
  TShellLinkInfo info, back;
  std::string linkPath;
};

TEST_F(ShellLinks, TargetAndHotKeyAloneReadBackWithTheIconAtTheTarget) {
  info.HotKey = 0x0656;
  back.Arguments = "stale";
  ASSERT_TRUE(CreateShellLinkEx("Quindle Vocalet.lnk", folder.Path(), CSIDL_DESKTOP, info,
                                linkPath, nullptr));
  EXPECT_EQ(linkPath, folder.Path() + "\\Quindle Vocalet.lnk") << "a given folder wins";
  ASSERT_TRUE(ReadShellLink(linkPath, back));
  EXPECT_TRUE(SameText(back.Path, info.Path)) << back.Path;
  EXPECT_EQ(back.HotKey, 0x0656);
  EXPECT_TRUE(SameText(back.IconLocation, info.Path)) << "no icon of its own: the target's";
  // The fields Vocalet leaves empty come back empty.
  EXPECT_EQ(back.IconIndex, 0);
  EXPECT_EQ(back.Arguments + back.WorkingDirectory + back.Description, "");
}

TEST_F(ShellLinks, AMissingFolderChainIsCreatedAndLoggedOutermostFirst) {
  const std::string a = folder.Path() + "\\Programs", b = a + "\\Quindle", c = b + "\\Vocalet";
  std::vector<std::string> log{"earlier entry"};
  ASSERT_TRUE(CreateShellLinkEx("Quindle Vocalet.lnk", c, 0, info, linkPath, &log));
  EXPECT_EQ(log, (std::vector<std::string>{"earlier entry", a, b, c}));
  EXPECT_NE(GetFileAttributesA((c + "\\Quindle Vocalet.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
  log.clear();
  ASSERT_TRUE(CreateShellLinkEx("Second.lnk", c, 0, info, linkPath, &log));
  EXPECT_TRUE(log.empty()) << "once there, nothing more is created";
}

TEST_F(ShellLinks, AFileThatIsNotALinkOrIsNotThereReadsAsAnEmptyLink) {
  std::ofstream(folder.Path() + "\\notes.lnk") << "not a shell link at all";
  for (const char* name : {"\\notes.lnk", "\\absent.lnk"}) {
    back.Path = back.Description = back.IconLocation = "stale";
    back.IconIndex = 7;
    back.HotKey = 0x0656;
    EXPECT_TRUE(ReadShellLink(folder.Path() + name, back));
    EXPECT_EQ(back.Path + back.Description + back.IconLocation, "") << name;
    EXPECT_EQ(back.IconIndex, 0);
    EXPECT_EQ(back.HotKey, 0);
  }
}

TEST_F(ShellLinks, AnInvalidSpecialFolderChangesNothingAndTheDocumentsFolderExists) {
  std::string path = "unchanged";
  GetSpecialFolderPath(0x7F, path);
  EXPECT_EQ(path, "unchanged") << "an invalid one leaves the path";
  linkPath = "stale";
  EXPECT_FALSE(CreateShellLinkEx("x.lnk", "", 0x7F, info, linkPath, nullptr));
  EXPECT_EQ(linkPath, "");
  GetSpecialFolderPath(CSIDL_PERSONAL, path);
  const DWORD a = GetFileAttributesA(path.c_str());
  EXPECT_TRUE(a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) << path;
}

}  // namespace
