// Platform-neutral text and path helpers shared by the whole program.
// Paths are ANSI strings with backslash separators, as the program uses them on Windows.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Replaces every occurrence of pattern, scanning left to right; replaced text is never
// scanned again, so occurrences never overlap. An empty pattern changes nothing.
std::string ReplaceAll(const std::string& text, const std::string& pattern,
                       const std::string& replacement);

// Replaces the macro by its value, then folds every pair of backslashes into one, so that
// "<TempDir>\x" with a temporary folder ending in a backslash keeps one separator.
std::string ReplaceMacro(const std::string& text, const std::string& macro,
                         const std::string& value);

// The path macros in the order in which they are looked for.
enum TPathMacro { pmProgramFilesDir, pmCommonFilesDir, pmWindowsDir, pmSystemDir, pmTempDir,
                  pmThisDir, pmCount };
extern const char* const PathMacroNames[pmCount];

// The expansion algorithm with the values supplied by the caller; valueOf is asked only for
// a macro that occurs in the text, and only in the pass that replaces it.
std::string ExpandPathMacrosWith(const std::string& text,
                                 const std::function<std::string(TPathMacro)>& valueOf);

std::string AddPath(const std::string& folder, const std::string& name);
std::string ExcludeTrailingBackslash(const std::string& path);
std::string IncludeTrailingBackslash(const std::string& path);
// Folder of a path with its trailing backslash ("C:\a\b.txt" -> "C:\a\"); "" when none.
std::string ExtractFilePath(const std::string& path);
// Folder of a path without its trailing backslash ("C:\a\b.txt" -> "C:\a").
std::string ExtractFileDir(const std::string& path);
// Name after the last backslash, colon or slash.
std::string ExtractFileName(const std::string& path);

// "D:\A\B" -> {"D:\", "A", "B"}; an empty last component is dropped.
std::vector<std::string> SplitPath(const std::string& path);
// The folder of the first `level` components below the root: level 1 of D:\A\B is D:\A.
std::string JoinPathLevels(const std::vector<std::string>& elements, size_t level);

// Texts store line breaks as the two characters backslash and n.
std::string ConvertLineBreaks(const std::string& text);

std::string QuoteProgramPath(const std::string& path);

// "%d bytes", "%d KB" or "%.2n MB" (1 MB = 1024000 bytes) with the given separators.
std::string FormatFileSizeWith(long count, const std::string& thousandSep,
                               const std::string& decimalSep);
// A number with two decimals (rounded to nearest) and thousands grouping, as "%.2n" shows it.
std::string FormatNumber2(double value, const std::string& thousandSep,
                          const std::string& decimalSep);

// Where a window of the given size lands when centred on a reference rectangle and kept
// on a screen of the given size.
struct TPoint { int x; int y; };
struct TRectI { int left; int top; int right; int bottom; };
TPoint CenterPosition(const TRectI& reference, int width, int height, int screenWidth,
                      int screenHeight);

// Date-time as days since 1899-12-30 with the time of day as fraction.
struct TDateParts { int year, month, day, hour, minute, second; };
TDateParts DecodeDateTime(double value);
double EncodeDateTime(const TDateParts& parts);
// File system's packed date (high word) and time (low word) to a date-time; 0 when invalid.
double FileDateToDateTime(unsigned int packed);
// " h:mm ampm" of the value: 12-hour clock without a leading zero, then the designator.
std::string FormatHourMinuteAmPm(double value, const std::string& am, const std::string& pm);
