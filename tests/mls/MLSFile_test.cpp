#include "mls/MLSFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "mls/MLSModuleBuilder.h"

namespace {

// Runs ReadModule and returns the error code ("" for success).
std::string ReadCode(const std::vector<std::uint8_t>& bytes, int language,
                     std::span<std::string> strings) {
  TMLSMemoryStream stream(bytes);
  try {
    TMLSFile().ReadModule(stream, language, static_cast<int>(strings.size()) - 1, strings);
    return "";
  } catch (const EMLSException& e) {
    const std::string text = e.what();
    const auto at = text.find("(Error Code ");
    return at == std::string::npos ? text : text.substr(at + 12, 6);
  }
}

MLSModuleBuilder ThreeStrings() {
  MLSModuleBuilder m;
  m.strings = {"first", "", "line one\\nline two"};
  return m;
}

TEST(MLSFile, ReadsStringsAsStoredAndStopsAtTheEndSignature) {
  auto bytes = ThreeStrings().Bytes();
  bytes.push_back('x');  // nothing after the end signature is read
  std::array<std::string, 3> s;
  TMLSMemoryStream stream(bytes);
  TMLSFile().ReadModule(stream, 4, 2, s);
  EXPECT_EQ(s[0], "first");
  EXPECT_EQ(s[1], "");
  EXPECT_EQ(s[2], "line one\\nline two");  // backslash n stays two characters
  EXPECT_EQ(stream.Position(), bytes.size() - 1);
}

TEST(MLSFile, EmptyTableAndLongestDescription) {
  MLSModuleBuilder none;
  none.description.clear();
  EXPECT_EQ(ReadCode(none.Bytes(), 4, {}), "");

  auto m = ThreeStrings();
  m.description.assign(65535, 'd');
  std::array<std::string, 3> s;
  EXPECT_EQ(ReadCode(m.Bytes(), 4, s), "");
  EXPECT_EQ(s[0], "first");
}

TEST(MLSFile, EachHeaderCheckHasItsCode) {
  std::array<std::string, 3> s;
  auto m = ThreeStrings();
  m.signature = "MLs";
  EXPECT_EQ(ReadCode(m.Bytes(), 4, s), "MLS250");
  m = ThreeStrings();
  m.version = 2;
  EXPECT_EQ(ReadCode(m.Bytes(), 4, s), "MLS251");
  m = ThreeStrings();
  m.language = 3;  // valid strings, wrong language
  EXPECT_EQ(ReadCode(m.Bytes(), 4, s), "MLS252");
  EXPECT_EQ(s[0], "");
}

TEST(MLSFile, WrongCountFailsBeforeAnyStringIsStored) {
  std::array<std::string, 2> s = {"old0", "old1"};
  auto m = ThreeStrings();  // one string too many
  EXPECT_EQ(ReadCode(m.Bytes(), 4, s), "MLS253");
  EXPECT_EQ(s[0], "old0");

  m.countOverride = true;
  m.count = 4000000000u;  // must neither allocate nor read that many lengths
  EXPECT_EQ(ReadCode(m.Bytes(), 4, s), "MLS253");
  EXPECT_EQ(s[1], "old1");
}

// A module that grew reads the files of its older versions: the strings they lack keep
// their text. More strings than the module has, or fewer than its first version, still fail.
TEST(MLSFile, OlderShorterModuleIsReadAndTheRestKept) {
  struct TCase {
    std::uint32_t count;
    std::string code;
  };
  for (const TCase& c : {TCase{3, ""}, TCase{2, ""}, TCase{5, "MLS253"}, TCase{1, "MLS253"},
                         TCase{0, "MLS253"}, TCase{4000000000u, "MLS253"}}) {
    MLSModuleBuilder m;
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(c.count, 5); ++i)
      m.strings.push_back("new" + std::to_string(i));
    m.countOverride = true;
    m.count = c.count;
    std::array<std::string, 4> s = {"old0", "old1", "old2", "old3"};
    const auto bytes = m.Bytes();
    TMLSMemoryStream stream(bytes);
    std::string code;
    std::size_t read = 0;
    try {
      read = TMLSFile().ReadModule(stream, 4, 3, s, 2);
    } catch (const EMLSException& e) {
      code = std::string(e.what()).substr(std::string(e.what()).find("MLS25"), 6);
    }
    EXPECT_EQ(code, c.code) << "count " << c.count;
    if (!c.code.empty()) {
      EXPECT_EQ(s[0], "old0") << "count " << c.count;
      continue;
    }
    EXPECT_EQ(read, c.count);
    for (std::uint32_t i = 0; i < 4; ++i)
      EXPECT_EQ(s[i], (i < c.count ? "new" : "old") + std::to_string(i)) << "count " << c.count;
  }
}

TEST(MLSFile, StringCutShortKeepsWhatWasRead) {
  std::array<std::string, 3> s = {"old0", "old1", "old2"};
  auto bytes = ThreeStrings().Bytes();
  bytes.resize(bytes.size() - 3 - 5);  // inside the last string
  EXPECT_EQ(ReadCode(bytes, 4, s), "MLS254");
  EXPECT_EQ(s[0], "first");
  EXPECT_EQ(s[1], "");
  EXPECT_EQ(s[2], "old2");
}

TEST(MLSFile, MissingEndSignatureKeepsAllStrings) {
  std::array<std::string, 3> s;
  auto bytes = ThreeStrings().Bytes();
  bytes.resize(bytes.size() - 3);
  EXPECT_EQ(ReadCode(bytes, 4, s), "MLS255");
  EXPECT_EQ(s[2], "line one\\nline two");
  auto m = ThreeStrings();
  m.endSignature = "SLM";
  EXPECT_EQ(ReadCode(m.Bytes(), 4, s), "MLS255");
}

TEST(MLSFile, LengthPastTheEndOfTheData) {
  // A length of 65535 for a string whose data is a few bytes: the read must stop at the end.
  auto m = ThreeStrings();
  auto bytes = m.Bytes();
  const std::size_t lengths = 8 + m.description.size() + 4;
  bytes[lengths + 2] = 0xFF;
  bytes[lengths + 3] = 0xFF;
  std::array<std::string, 3> s;
  EXPECT_EQ(ReadCode(bytes, 4, s), "MLS254");
}

TEST(MLSFile, EveryTruncationFailsWithACode) {
  const auto full = ThreeStrings().Bytes();
  for (std::size_t n = 0; n < full.size(); ++n) {
    std::vector<std::uint8_t> cut(full.begin(), full.begin() + n);
    std::array<std::string, 3> s;
    const std::string code = ReadCode(cut, 4, s);
    EXPECT_TRUE(code >= "MLS250" && code <= "MLS255") << "cut at " << n << ": " << code;
  }
}

TEST(MLSFile, ErrorTextHasTheCodeOnItsOwnLine) {
  std::array<std::string, 3> s;
  auto m = ThreeStrings();
  m.version = 0;
  const auto bytes = m.Bytes();
  TMLSMemoryStream stream(bytes);
  try {
    TMLSFile().ReadModule(stream, 4, 2, s);
    FAIL() << "no error";
  } catch (const EMLSException& e) {
    EXPECT_STREQ(e.what(), "Invalid MLS Module format.\r\n(Error Code MLS251)");
  }
  try {
    RaiseMLSError("", "a\\nb");
  } catch (const EMLSException& e) {
    EXPECT_STREQ(e.what(), "a\r\nb");
  }
}

// The build compiles the English sources; read them back as the program will.
std::vector<std::uint8_t> EnglishModule(const std::string& name) {
  std::ifstream in(std::string(VOCALET_MLS_ENGLISH_DIR) + "/" + name + "_enu.mls",
                   std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(MLSFile, CompiledEnglishModulesRoundTrip) {
  std::vector<std::string> s(232);
  ASSERT_EQ(ReadCode(EnglishModule("ovShared"), 4, s), "");
  EXPECT_EQ(s[21], "Error");
  EXPECT_EQ(s[22], "Cannot create  object.");
  EXPECT_EQ(s[62], " %d B");
  EXPECT_EQ(s[214], "File: \"%s\"\\n\\nInvalid encrypted file format. The file is either corrupted "
                    "\\nor not encrypted.");
  EXPECT_EQ(s[231], "Background");
  s.resize(20);
  ASSERT_EQ(ReadCode(EnglishModule("qdShared"), 4, s), "");
  EXPECT_EQ(s[0], "Do you want to make \"%s\" as \\na start page in your Internet browser?");
  s.resize(55);
  ASSERT_EQ(ReadCode(EnglishModule("Vocalet"), 4, s), "");
  EXPECT_EQ(s[2], "Message duration %d Sec.\\nSize %s. File size %s (Compression ratio %d%%)"
                  "\\nFormat: %s, %s, %s, %s");
  EXPECT_EQ(s[12].rfind("\\nThis e-mail contains a voice message.", 0), 0u);
  EXPECT_EQ(s[47], "Quindle Vocalet");
  s.resize(26);
  ASSERT_EQ(ReadCode(EnglishModule("SoundRec"), 4, s), "");
  EXPECT_EQ(s[25], "Sound Files (*.wav)|*.wav|All Files (*.*)|*.*");
}

}  // namespace
