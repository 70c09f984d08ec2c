// A user of code page 1251 whose message lives in a folder with a Cyrillic name (a user named
// Пётр, say): compression, Save As and Send reach that very file. Runs under
// LANG=ru_RU.UTF-8, which gives Wine's processes the ANSI code page 1251.
#include <gtest/gtest.h>

#include <windows.h>

#include "DeliveryTestUtils.h"
#include "TestFolder.h"
#include "convert/TestWaves.h"
#include "convert/WaveConvert.h"
#include "delivery/SMapiUtils.h"
#include "util/FileIO.h"
#include "util/ovUtils.h"

namespace {

const char kPyotrAnsi[] = "\xCF\xB8\xF2\xF0";                      // Пётр in code page 1251
const char kPyotrUtf8[] = "\xD0\x9F\xD1\x91\xD1\x82\xD1\x80";  // the same in UTF-8

std::string ReadAll(const std::string& path) {
  vocalet::TFile f = vocalet::TFile::OpenRead(path);
  std::string s(1 << 20, '\0');
  const std::int64_t n = f.Read(s.data(), s.size());
  s.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return s;
}

void WriteAll(const std::string& path, const std::string& data) {
  vocalet::TFile f = vocalet::TFile::Create(path);
  ASSERT_TRUE(f.Write(data.data(), data.size())) << path;
}

std::string UnixPath(const std::string& asciiPath) {
  using TGetUnixName = char*(CDECL*)(const WCHAR*);
  auto f = reinterpret_cast<TGetUnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  std::wstring w(asciiPath.begin(), asciiPath.end());
  char* u = f ? f(w.c_str()) : nullptr;
  std::string s = u ? u : "";
  HeapFree(GetProcessHeap(), 0, u);
  return s;
}

class Cp1251 : public ::testing::Test {
 protected:
  TestFolder base;
  std::string folder, message;
  void SetUp() override {
    ASSERT_EQ(GetACP(), 1251u) << "LANG=ru_RU.UTF-8 needs the locale generated (locale-gen)";
    folder = base.Path() + "\\" + kPyotrAnsi;
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    message = folder + "\\vocalet.wav";
    const vocalet::test::Bytes pcm = vocalet::test::MakeWave(vocalet::test::WaveParams{}, vocalet::test::Pcm16Bytes(vocalet::test::Noise(8000, 3, 9000)));
    WriteAll(message, std::string(pcm.begin(), pcm.end()));
  }
};

TEST_F(Cp1251, TheMessageIsCompressedAtItsCyrillicPath) {
  std::string error;
  ASSERT_TRUE(vocalet::CompressWaveFile(message, vocalet::acm::DefaultAcmLayer(), &error)) << error;
  const std::string gsm = ReadAll(message);
  ASSERT_GE(gsm.size(), 22u);
  EXPECT_EQ(gsm[20], '\x31') << "GSM 6.10";
  EXPECT_FALSE(FileExists(message + ".new"));
}

TEST_F(Cp1251, SaveAsCopiesIntoACyrillicFolder) {
  const std::string target = base.Path() + "\\" + kPyotrAnsi + "\\" + kPyotrAnsi + ".wav";
  EXPECT_EQ(CopyFileData(message, target), static_cast<long>(ReadAll(message).size()));
  EXPECT_EQ(ReadAll(target), ReadAll(message));
}

TEST_F(Cp1251, SendHandsXdgEmailTheUnixPathInUtf8) {
  std::string fakeBin = WinPathFromEnv("VOCALET_FAKE_XDG_DIR");
  DeleteFileA((fakeBin + "\\xdg-email.args").c_str());
  TSMapiMessage mail;
  mail.Subject = "Voice message";
  mail.Files = {message};
  const std::string handOff = folder + "\\eMail.dat";
  mail.SaveToFile(handOff);
  ASSERT_EQ(RunAndWait("\"" + BinDir() + "\\SendMail.exe\" \"" + handOff + "\""), 0);
  const std::string args = ReadAll(fakeBin + "\\xdg-email.args");
  const std::string expected = UnixPath(base.Path()) + "/" + kPyotrUtf8 + "/vocalet.wav";
  ASSERT_EQ(expected[0], '/');
  EXPECT_NE(args.find(std::string("--attach") + '\0' + expected + '\0'), std::string::npos) << args;
  DeleteFileA((fakeBin + "\\xdg-email.args").c_str());
}

}  // namespace
