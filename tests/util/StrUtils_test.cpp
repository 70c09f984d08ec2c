#include "util/StrUtils.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Macro values as a test machine would have them; counts how often each is asked for.
struct FakeFolders {
  std::map<TPathMacro, std::string> values{{pmProgramFilesDir, "C:\\Program Files"},
                                           {pmCommonFilesDir, "C:\\Program Files\\Common Files"},
                                           {pmWindowsDir, "C:\\WINDOWS"},
                                           {pmSystemDir, "C:\\WINDOWS\\system32"},
                                           {pmTempDir, "D:\\TEMP\\"},
                                           {pmThisDir, "C:\\Apps\\Vocalet"}};
  std::map<TPathMacro, int> asked;
  std::vector<TPathMacro> order;
  std::string Expand(const std::string& text) {
    return ExpandPathMacrosWith(text, [this](TPathMacro m) {
      ++asked[m];
      order.push_back(m);
      return values[m];
    });
  }
};

TEST(ReplaceAll, ScansLeftToRightWithoutRescanningReplacedText) {
  EXPECT_EQ(ReplaceAll("aaa", "aa", "a"), "aa");
  EXPECT_EQ(ReplaceAll("abab", "ab", "abab"), "abababab");
  EXPECT_EQ(ReplaceAll("text", "", "x"), "text");
  EXPECT_EQ(ReplaceAll("", "a", "b"), "");
  EXPECT_EQ(ReplaceAll("a.b.c", ".", ""), "abc");
}

TEST(ReplaceMacro, FoldsBackslashPairsAcrossTheWholeText) {
  EXPECT_EQ(ReplaceMacro("<X>\\a", "<X>", "D:\\T\\"), "D:\\T\\a");
  EXPECT_EQ(ReplaceMacro("a\\\\\\b", "<X>", ""), "a\\\\b");      // three become two
  EXPECT_EQ(ReplaceMacro("a\\\\\\\\b", "<X>", ""), "a\\\\b");    // four become two
}

TEST(ExpandPathMacros, TempDirFollowedByBackslashKeepsOneSeparator) {
  FakeFolders f;
  EXPECT_EQ(f.Expand("<TempDir>\\vocalet.wav"), "D:\\TEMP\\vocalet.wav");
  EXPECT_EQ(f.Expand("<ThisDir>\\mls"), "C:\\Apps\\Vocalet\\mls");
}

TEST(ExpandPathMacros, TableOrderDecidesWhichMacroGoesFirst) {
  FakeFolders f;
  EXPECT_EQ(f.Expand("<SystemDir>;<WindowsDir>"), "C:\\WINDOWS\\system32;C:\\WINDOWS");
  ASSERT_EQ(f.order.size(), 2u);
  EXPECT_EQ(f.order[0], pmWindowsDir);
  EXPECT_EQ(f.order[1], pmSystemDir);
}

TEST(ExpandPathMacros, ValuesAreOnlyAskedForMacrosThatOccur) {
  FakeFolders f;
  f.Expand("<TempDir>x");
  EXPECT_EQ(f.asked.count(pmProgramFilesDir), 0u);
  EXPECT_EQ(f.asked[pmTempDir], 1);
}

TEST(ExpandPathMacros, StrayAngleBracketsAndLowerCaseMacrosStay) {
  FakeFolders f;
  EXPECT_EQ(f.Expand("a<b\\\\c"), "a<b\\\\c");  // no macro: doubled backslashes stay too
  EXPECT_EQ(f.Expand("a<b <WindowsDir>"), "a<b C:\\WINDOWS");
  EXPECT_EQ(f.Expand("<windowsdir>"), "<windowsdir>");
}

TEST(ExpandPathMacros, AMacroLosesDoubledBackslashesEverywhere) {
  FakeFolders f;
  EXPECT_EQ(f.Expand("\\\\server\\share;<WindowsDir>"), "\\server\\share;C:\\WINDOWS");
}

TEST(ExpandPathMacros, MissingValueLeavesTheRestOfThePath) {
  FakeFolders f;
  f.values[pmProgramFilesDir] = "";
  EXPECT_EQ(f.Expand("<ProgramFilesDir>\\Quindle\\Shared Files\\MLS"),
            "\\Quindle\\Shared Files\\MLS");
}

TEST(ExpandPathMacros, AValueHoldingAMacroTextEnds) {
  FakeFolders f;
  f.values[pmTempDir] = "<TempDir>\\x";  // a registry or environment value can hold anything
  EXPECT_EQ(f.Expand("<TempDir>"), "<TempDir>\\x");
  f.values[pmWindowsDir] = "<SystemDir>";
  EXPECT_EQ(f.Expand("<WindowsDir>"), "C:\\WINDOWS\\system32");
}

TEST(PathHelpers, AddPathJoinsWithExactlyOneBackslash) {
  EXPECT_EQ(AddPath("", "x"), "x");
  EXPECT_EQ(AddPath("D:\\", "x"), "D:\\x");
  EXPECT_EQ(AddPath("D:\\a", "x"), "D:\\a\\x");
  EXPECT_EQ(ExcludeTrailingBackslash("D:\\a\\"), "D:\\a");
  EXPECT_EQ(ExcludeTrailingBackslash("D:\\a\\\\"), "D:\\a\\");
  EXPECT_EQ(ExcludeTrailingBackslash(""), "");
}

TEST(PathHelpers, ExtractParts) {
  EXPECT_EQ(ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(ExtractFileDir("C:\\a\\b.txt"), "C:\\a");
  EXPECT_EQ(ExtractFileDir("C:\\b.txt"), "C:\\");
  EXPECT_EQ(ExtractFileName("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(ExtractFileName("b.txt"), "b.txt");
  EXPECT_EQ(ExtractFileDir("b.txt"), "");
}

TEST(PathHelpers, SplitAndJoinLevels) {
  auto e = SplitPath("D:\\A\\B\\");
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0], "D:\\");
  EXPECT_EQ(e[1], "A");
  EXPECT_EQ(e[2], "B");
  EXPECT_EQ(JoinPathLevels(e, 1), "D:\\A");
  EXPECT_EQ(JoinPathLevels(e, 2), "D:\\A\\B");
  EXPECT_EQ(SplitPath("D:\\").size(), 1u);
}

TEST(Texts, ConvertLineBreaks) {
  EXPECT_EQ(ConvertLineBreaks("a\\nb\\n"), "a\r\nb\r\n");
  EXPECT_EQ(ConvertLineBreaks("plain"), "plain");
  EXPECT_EQ(ConvertLineBreaks("ends in \\"), "ends in \\");
  EXPECT_EQ(ConvertLineBreaks("\\\\n"), "\\\r\n");
}

TEST(Texts, QuoteProgramPath) {
  EXPECT_EQ(QuoteProgramPath("C:\\Program Files\\x.exe"), "\"C:\\Program Files\\x.exe\" ");
  EXPECT_EQ(QuoteProgramPath("C:\\x.exe"), "C:\\x.exe ");
}

TEST(Texts, FormatFileSizeTable) {
  const struct {
    long count;
    const char* text;
  } table[] = {{0, "None"},          {1, "1 bytes"},          {1023, "1023 bytes"},
               {1024, "1 KB"},       {1535, "1 KB"},          {1024000 - 1, "999 KB"},
               {1024000, "1.00 MB"}, {1536000, "1.50 MB"},    {-5, "-5 bytes"},
               {1034240, "1.01 MB"}, {2147483647, "2,097.15 MB"}};
  for (const auto& row : table)
    EXPECT_EQ(FormatFileSizeWith(row.count, ",", "."), row.text) << row.count;
  EXPECT_EQ(FormatFileSizeWith(1536000, ".", ","), "1,50 MB");
}

TEST(Windows, CenterPositionKeepsTheWindowOnScreen) {
  // Centred on the screen.
  TPoint p = CenterPosition({0, 0, 800, 600}, 200, 100, 800, 600);
  EXPECT_EQ(p.x, 300);
  EXPECT_EQ(p.y, 250);
  // Halving truncates toward zero: (201 - 100) / 2 = 50.
  p = CenterPosition({10, 10, 211, 111}, 100, 50, 800, 600);
  EXPECT_EQ(p.x, 60);
  EXPECT_EQ(p.y, 35);
  // A reference near the right edge pushes the window back onto the screen.
  p = CenterPosition({700, 500, 800, 600}, 300, 200, 800, 600);
  EXPECT_EQ(p.x, 500);
  EXPECT_EQ(p.y, 400);
  // Larger than the screen: the top-left corner stays visible.
  p = CenterPosition({0, 0, 800, 600}, 1000, 900, 800, 600);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
}

TEST(Dates, EncodeDecodeRoundTrip) {
  TDateParts p{2026, 12, 7, 15, 5, 0};
  double v = EncodeDateTime(p);
  EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30, 0, 0, 0}), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime({1900, 1, 1, 12, 0, 0}), 2.5);
  TDateParts q = DecodeDateTime(v);
  EXPECT_EQ(q.year, 2026);
  EXPECT_EQ(q.month, 12);
  EXPECT_EQ(q.day, 7);
  EXPECT_EQ(q.hour, 15);
  EXPECT_EQ(q.minute, 5);
}

TEST(Dates, PackedFileDate) {
  // 2024-02-29 13:45:58
  unsigned date = ((2024 - 1980) << 9) | (2 << 5) | 29, time = (13 << 11) | (45 << 5) | 29;
  TDateParts p = DecodeDateTime(FileDateToDateTime((date << 16) | time));
  EXPECT_EQ(p.year, 2024);
  EXPECT_EQ(p.month, 2);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 13);
  EXPECT_EQ(p.minute, 45);
  EXPECT_EQ(p.second, 58);
  EXPECT_EQ(FileDateToDateTime(0), 0.0);  // month 0: invalid
}

TEST(Dates, HourMinuteInTwelveHourForm) {
  EXPECT_EQ(FormatHourMinuteAmPm(EncodeDateTime({2026, 1, 2, 0, 7, 0}), "AM", "PM"), " 12:07 AM");
  EXPECT_EQ(FormatHourMinuteAmPm(EncodeDateTime({2026, 1, 2, 9, 30, 0}), "AM", "PM"), " 9:30 AM");
  EXPECT_EQ(FormatHourMinuteAmPm(EncodeDateTime({2026, 1, 2, 12, 0, 0}), "AM", "PM"), " 12:00 PM");
  EXPECT_EQ(FormatHourMinuteAmPm(EncodeDateTime({2026, 1, 2, 23, 59, 0}), "am", "pm"), " 11:59 pm");
}

}  // namespace
