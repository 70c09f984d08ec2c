#include "util/StrUtils.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(ReplaceAll, ScansLeftToRightWithoutRescanningReplacedText) {
  EXPECT_EQ(ReplaceAll("aaa", "aa", "a"), "aa");
  EXPECT_EQ(ReplaceAll("abab", "ab", "abab"), "abababab");
  EXPECT_EQ(ReplaceAll("text", "", "x"), "text");
}

TEST(ExpandPathMacros, ReplacesKnownMacrosWithTheirFoldersAndFoldsBackslashPairs) {
  const struct {
    const char* text;
    TPathMacro changed;  // pmCount: none
    const char* value;
    const char* expanded;
  } cases[] = {
      {"<TempDir>\\vocalet.wav", pmCount, "", "D:\\TEMP\\vocalet.wav"},
      {"<SystemDir>;<WindowsDir>", pmCount, "", "C:\\WINDOWS\\system32;C:\\WINDOWS"},
      {"a<b\\\\c", pmCount, "", "a<b\\\\c"},  // no macro: doubled backslashes stay
      {"<windowsdir>", pmCount, "", "<windowsdir>"},
      {"\\\\server\\share;<WindowsDir>", pmCount, "", "\\server\\share;C:\\WINDOWS"},
      {"<ProgramFilesDir>\\Quindle\\MLS", pmProgramFilesDir, "", "\\Quindle\\MLS"},
      // A registry or environment value can hold anything, a macro too.
      {"<TempDir>", pmTempDir, "<TempDir>\\x", "<TempDir>\\x"},
      {"<WindowsDir>", pmWindowsDir, "<SystemDir>", "C:\\WINDOWS\\system32"},
  };
  for (const auto& c : cases) {
    std::map<TPathMacro, std::string> values{{pmWindowsDir, "C:\\WINDOWS"},
                                             {pmSystemDir, "C:\\WINDOWS\\system32"},
                                             {pmTempDir, "D:\\TEMP\\"}};
    if (c.changed != pmCount) values[c.changed] = c.value;
    EXPECT_EQ(ExpandPathMacrosWith(c.text, [&](TPathMacro m) { return values[m]; }), c.expanded)
        << c.text;
  }
}

TEST(PathHelpers, JoinAndSplit) {
  EXPECT_EQ(AddPath("D:\\", "x"), "D:\\x");
  EXPECT_EQ(AddPath("D:\\a", "x"), "D:\\a\\x");
  EXPECT_EQ(IncludeTrailingBackslash("D:\\a\\"), "D:\\a\\");
  EXPECT_EQ(ExtractFileDir("C:\\a\\b.txt"), "C:\\a");
  EXPECT_EQ(ExtractFileDir("C:\\b.txt"), "C:\\");
  EXPECT_EQ(ExtractFileName("C:\\a\\b.txt"), "b.txt");
  const auto e = SplitPath("D:\\A\\B\\");
  EXPECT_EQ(e, (std::vector<std::string>{"D:\\", "A", "B"}));
  EXPECT_EQ(JoinPathLevels(e, 1), "D:\\A");
}

TEST(Texts, LineBreaksAndQuotedPrograms) {
  EXPECT_EQ(ConvertLineBreaks("a\\nb\\n"), "a\r\nb\r\n");
  EXPECT_EQ(QuoteProgramPath("C:\\Program Files\\x.exe"), "\"C:\\Program Files\\x.exe\" ");
  EXPECT_EQ(QuoteProgramPath("C:\\x.exe"), "C:\\x.exe ");
}

TEST(Texts, FormatFileSizeTable) {
  const std::pair<long, const char*> table[] = {
      {0, "None"},          {1023, "1023 bytes"},   {1024, "1 KB"},         {1024000 - 1, "999 KB"},
      {1024000, "1.00 MB"}, {1034240, "1.01 MB"},   {2147483647, "2,097.15 MB"}};
  for (const auto& [count, text] : table) EXPECT_EQ(FormatFileSizeWith(count, ",", "."), text);
  EXPECT_EQ(FormatFileSizeWith(1536000, ".", ","), "1,50 MB");
}

TEST(Windows, CenterPositionKeepsTheWindowOnScreen) {
  const struct {
    TRectI reference;
    int width, height, x, y;
  } cases[] = {{{10, 10, 211, 111}, 100, 50, 60, 35},  // halving truncates: (201 - 100) / 2
               {{700, 500, 800, 600}, 300, 200, 500, 400},  // pushed back from the edge
               {{0, 0, 800, 600}, 1000, 900, 0, 0}};  // too large: top left stays visible
  for (const auto& c : cases) {
    const TPoint p = CenterPosition(c.reference, c.width, c.height, 800, 600);
    EXPECT_EQ(p.x, c.x) << c.width;
    EXPECT_EQ(p.y, c.y) << c.width;
  }
}

std::vector<int> Parts(double v) {
  const TDateParts p = DecodeDateTime(v);
  return {p.year, p.month, p.day, p.hour, p.minute, p.second};
}

TEST(Dates, EncodeDecodeAndPackedFileDates) {
  EXPECT_DOUBLE_EQ(EncodeDateTime({1900, 1, 1, 12, 0, 0}), 2.5);
  EXPECT_EQ(Parts(EncodeDateTime({2026, 12, 7, 15, 5, 0})),
            (std::vector<int>{2026, 12, 7, 15, 5, 0}));
  auto packed = [](unsigned y, unsigned mo, unsigned d, unsigned h, unsigned mi, unsigned s) {
    return ((y - 1980) << 25) | (mo << 21) | (d << 16) | (h << 11) | (mi << 5) | (s / 2);
  };
  EXPECT_EQ(Parts(FileDateToDateTime(packed(2024, 2, 29, 13, 45, 58))),
            (std::vector<int>{2024, 2, 29, 13, 45, 58}));
  EXPECT_EQ(Parts(FileDateToDateTime(packed(2023, 12, 31, 23, 59, 58))),
            (std::vector<int>{2023, 12, 31, 23, 59, 58}));
  EXPECT_EQ(FileDateToDateTime(packed(2024, 13, 1, 0, 0, 0)), 0.0);
}

TEST(Dates, HourMinuteInTwelveHourForm) {
  auto at = [](int h, int m) { return EncodeDateTime({2026, 1, 2, h, m, 0}); };
  EXPECT_EQ(FormatHourMinuteAmPm(at(0, 7), "AM", "PM"), " 12:07 AM");
  EXPECT_EQ(FormatHourMinuteAmPm(at(12, 0), "AM", "PM"), " 12:00 PM");
  EXPECT_EQ(FormatHourMinuteAmPm(at(23, 59), "am", "pm"), " 11:59 pm");
}

}  // namespace
