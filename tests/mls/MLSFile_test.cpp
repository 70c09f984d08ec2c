#include "mls/MLSFile.h"

#include <gtest/gtest.h>

#include <functional>

#include "mls/MLSLanguageCodes.h"
#include "mls/MLSModuleBuilder.h"

namespace {

using Strings = std::vector<std::string>;
const Strings Old = {"old0", "old1", "old2"};

MLSModuleBuilder ThreeStrings() {
  MLSModuleBuilder m;
  m.strings = {"first", "", "line one\\nline two"};
  return m;
}

std::string ErrorText(const std::function<void()>& f) {
  try {
    f();
  } catch (const EMLSException& e) {
    return e.what();
  }
  return "";
}

// Reads an English module into s and returns the error code, "" for success.
std::string ReadCode(const std::vector<std::uint8_t>& bytes, Strings& s, int oldestCount = -1) {
  const std::string text = ErrorText([&] {
    TMLSMemoryStream stream(bytes);
    TMLSFile().ReadModule(stream, 4, static_cast<int>(s.size()) - 1, s, oldestCount);
  });
  if (text.size() < 7) return text;
  const std::string code = text.substr(text.size() - 7, 6);
  EXPECT_EQ(text, "Invalid MLS Module format.\r\n(Error Code " + code + ")");
  return code;
}

TEST(MLSFile, ReadsStringsAsStoredAndStopsAtTheEndSignature) {
  auto bytes = ThreeStrings().Bytes();
  bytes.push_back('x');
  Strings s(3);
  TMLSMemoryStream stream(bytes);
  EXPECT_EQ(TMLSFile().ReadModule(stream, 4, 2, s), 3u);
  EXPECT_EQ(s, (Strings{"first", "", "line one\\nline two"}));  // "\n" stays two characters
  EXPECT_EQ(stream.Position(), bytes.size() - 1);
}

TEST(MLSFile, EachFaultHasItsCodeAndKeepsOnlyTheStringsBeforeIt) {
  const Strings all = {"first", "", "line one\\nline two"};
  const struct {
    const char* Fault;
    std::function<void(MLSModuleBuilder&)> Change;
    std::size_t Cut;  // bytes taken off the end
    std::string Code;
    Strings After;
  } cases[] = {
      {"signature", [](auto& m) { m.signature = "MLs"; }, 0, "MLS250", Old},
      {"version 2", [](auto& m) { m.version = 2; }, 0, "MLS251", Old},
      {"language", [](auto& m) { m.language = 3; }, 0, "MLS252", Old},
      {"inside the last string", [](auto&) {}, 3 + 5, "MLS254", {"first", "", "old2"}},
      {"no end signature", [](auto&) {}, 3, "MLS255", all},
      {"wrong end signature", [](auto& m) { m.endSignature = "SLM"; }, 0, "MLS255", all},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Fault);
    auto m = ThreeStrings();
    c.Change(m);
    auto bytes = m.Bytes();
    bytes.resize(bytes.size() - c.Cut);
    Strings s = Old;
    EXPECT_EQ(ReadCode(bytes, s), c.Code);
    EXPECT_EQ(s, c.After);
  }
}

TEST(MLSFile, EveryTruncationFailsWithACode) {
  const auto full = ThreeStrings().Bytes();
  for (std::size_t n = 0; n < full.size(); ++n) {
    Strings s(3);
    const std::string code = ReadCode({full.begin(), full.begin() + n}, s);
    EXPECT_TRUE(code >= "MLS250" && code <= "MLS255") << "cut at " << n << ": " << code;
  }
}

// A module that grew reads the files of its older versions (at least oldestCount strings) and
// keeps its own text for the strings they lack; a count past its own fails before any is read.
TEST(MLSFile, OlderShorterModuleIsReadAndTheRestKept) {
  for (const auto& [count, code] : {std::pair<std::uint32_t, std::string>{3, ""}, {2, ""},
                                    {5, "MLS253"}, {1, "MLS253"}, {0, "MLS253"},
                                    {4000000000u, "MLS253"}}) {
    SCOPED_TRACE(count);
    MLSModuleBuilder m;
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(count, 5); ++i)
      m.strings.push_back("new" + std::to_string(i));
    m.countOverride = true;
    m.count = count;  // 4000000000 must neither allocate nor read that many lengths
    Strings s = {"old0", "old1", "old2", "old3"};
    EXPECT_EQ(ReadCode(m.Bytes(), s, 2), code);
    for (std::uint32_t i = 0; i < 4; ++i)
      EXPECT_EQ(s[i], (code.empty() && i < count ? "new" : "old") + std::to_string(i));
  }
}

// The codes name the module files (ovShared_deu.mls) and the languages in the report.
TEST(MLSLanguageCodes, IndexOutsideTheTableIsTheUnknownCode) {
  EXPECT_STREQ(LanguageCode(0), "xxx");
  EXPECT_STREQ(LanguageCode(3), "deu");
  EXPECT_STREQ(LanguageCode(19), "afk");
  EXPECT_STREQ(LanguageCode(20), "xxx");
  EXPECT_STREQ(LanguageCode(-1), "xxx");
  EXPECT_EQ(LanguageSetCodes(1u | 1u << 3 | 1u << 4 | 1u << 19), "xxx, deu, enu, afk");
  EXPECT_EQ(LanguageSetCodes(0), "");
}

}  // namespace
