// The hand-off file written through the system's profile functions, read back as text.
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

TEST(HandOffFile, InjectedKeysStayInsideTheBody) {
  TestFolder t;
  std::string path = t.Path() + "\\eMail.dat";
  TSMapiMessage m;
  m.Subject = "s";
  m.Text = "hello\n[Files]\nC:\\windows\\win.ini=1\r\nbye";
  m.Files = {"C:\\msg.wav"};
  m.SaveToFile(path);
  char keys[512] = {};
  DWORD n = GetPrivateProfileStringA("Files", nullptr, "", keys, sizeof keys, path.c_str());
  EXPECT_EQ(std::string(keys, n), std::string("C:\\msg.wav\0", 11));
  char text[256];
  GetPrivateProfileStringA("Header", "Text", "", text, sizeof text, path.c_str());
  EXPECT_STREQ(text, "hello\\n[Files]\\nC:\\windows\\win.ini=1\\nbye");
}

TEST(HandOffFile, OtherKeysOfAnExistingFileStay) {
  TestFolder t;
  std::string path = t.Path() + "\\eMail.dat";
  WritePrivateProfileStringA("Header", "Extra", "kept", path.c_str());
  WritePrivateProfileStringA("Other", "Key", "kept too", path.c_str());
  TSMapiMessage m;
  m.SaveToFile(path);
  char v[64];
  GetPrivateProfileStringA("Header", "Extra", "", v, sizeof v, path.c_str());
  EXPECT_STREQ(v, "kept");
  GetPrivateProfileStringA("Other", "Key", "", v, sizeof v, path.c_str());
  EXPECT_STREQ(v, "kept too");
}

TEST(HandOffFile, AnUnwritablePlaceIsAnError) {
  TestFolder t;
  TSMapiMessage m;
  EXPECT_THROW(m.SaveToFile(t.Path() + "\\no such folder\\eMail.dat"), std::runtime_error);
}

}  // namespace
