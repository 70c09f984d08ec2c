// The hand-off file on disk, read back as text and through the system's profile functions.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "TestFolder.h"
#include "delivery/SMapiUtils.h"

namespace {

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST(HandOffFile, LayoutAsSendWritesIt) {
  TestFolder t;
  std::string path = t.Path() + "\\eMail.dat";
  TSMapiMessage m;
  m.Subject = "Voice message";
  m.Text = "\r\nHi,\r\nplease listen.";
  m.Files.push_back("C:\\temp\\vocalet.wav");
  m.SaveToFile(path);
  EXPECT_EQ(Lines(path), (std::vector<std::string>{"[Header]", "ToName=", "ToAddr=",
                                                    "Subject=Voice message",
                                                    "Text=\\nHi,\\nplease listen.", "[Files]",
                                                    "C:\\temp\\vocalet.wav=1"}));
  char text[256];
  GetPrivateProfileStringA("Header", "Text", "?", text, sizeof text, path.c_str());
  EXPECT_STREQ(text, "\\nHi,\\nplease listen.");
}

TEST(HandOffFile, EqualPathsGiveOneKeyAndASecondSaveReplacesTheList) {
  TestFolder t;
  std::string path = t.Path() + "\\eMail.dat";
  TSMapiMessage m;
  m.Files = {"C:\\a.wav", "C:\\b.wav", "C:\\a.wav"};
  m.FileNames = {"x"};
  m.SaveToFile(path);
  char keys[512] = {};
  DWORD n = GetPrivateProfileStringA("Files", nullptr, "", keys, sizeof keys, path.c_str());
  EXPECT_EQ(std::string(keys, n), std::string("C:\\a.wav\0C:\\b.wav\0", 18));
  m.Files = {"C:\\c.wav"};
  m.FileNames.clear();
  m.SaveToFile(path);
  n = GetPrivateProfileStringA("Files", nullptr, "", keys, sizeof keys, path.c_str());
  EXPECT_EQ(std::string(keys, n), std::string("C:\\c.wav\0", 9));
  for (const std::string& line : Lines(path)) EXPECT_NE(line, "[FileNames]");
}

TEST(HandOffFile, ASaveThatCannotReplaceTheFileLeavesTheOldOneWhole) {
  TestFolder t;
  std::string path = t.Path() + "\\eMail.dat";
  TSMapiMessage m;
  m.Files = {"C:\\first.wav"};
  m.SaveToFile(path);
  // Held open the whole time by another program: the new file cannot take its place.
  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  m.Files = {"C:\\second.wav"};
  EXPECT_THROW(m.SaveToFile(path), std::runtime_error);
  CloseHandle(reader);
  EXPECT_EQ(Lines(path).back(), "C:\\first.wav=1");
  EXPECT_EQ(GetFileAttributesA((path + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(HandOffFile, AnUnwritablePlaceIsAnError) {
  TestFolder t;
  TSMapiMessage m;
  EXPECT_THROW(m.SaveToFile(t.Path() + "\\no such folder\\eMail.dat"), std::runtime_error);
}

}  // namespace
