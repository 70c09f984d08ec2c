// The hand-off file on disk: read by the system's profile functions, replaced whole or not
// at all. Its text is tested on the host (SMapiText_test).
#include <gtest/gtest.h>

#include "DeliveryTestUtils.h"
#include "TestFolder.h"
#include "delivery/SMapiUtils.h"

namespace {

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
