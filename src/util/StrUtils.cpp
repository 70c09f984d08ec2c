#include "util/StrUtils.h"

#include <cmath>
#include <cstdio>

const char* const PathMacroNames[pmCount] = {"<ProgramFilesDir>", "<CommonFilesDir>",
                                             "<WindowsDir>",      "<SystemDir>",
                                             "<TempDir>",         "<ThisDir>"};

std::string ReplaceAll(const std::string& text, const std::string& pattern,
                       const std::string& replacement) {
  if (pattern.empty()) return text;
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (;;) {
    size_t hit = text.find(pattern, pos);
    if (hit == std::string::npos) break;
    out.append(text, pos, hit - pos);
    out += replacement;
    pos = hit + pattern.size();
  }
  out.append(text, pos, std::string::npos);
  return out;
}

std::string ReplaceMacro(const std::string& text, const std::string& macro,
                         const std::string& value) {
  return ReplaceAll(ReplaceAll(text, macro, value), "\\\\", "\\");
}

std::string ExpandPathMacrosWith(const std::string& text,
                                 const std::function<std::string(TPathMacro)>& valueOf) {
  std::string result = text;
  // Iterative form of "expand one macro, and again while a '<' is left". A macro is
  // expanded once at most: a folder value that itself holds a macro text (a registry value
  // can hold anything) stays literal instead of expanding for ever.
  bool handled[pmCount] = {};
  for (;;) {
    int found = -1;
    for (int m = 0; m < pmCount; ++m) {
      if (!handled[m] && result.find(PathMacroNames[m]) != std::string::npos) {
        found = m;
        break;
      }
    }
    if (found < 0) return result;
    handled[found] = true;
    const auto macro = static_cast<TPathMacro>(found);
    result = ReplaceMacro(result, PathMacroNames[found], valueOf(macro));
    if (result.find('<') == std::string::npos) return result;
  }
}

std::string AddPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

std::string ExcludeTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
  return path;
}

std::string IncludeTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path;
  return path + "\\";
}

static size_t LastSeparator(const std::string& path) {
  return path.find_last_of("\\:/");
}

std::string ExtractFilePath(const std::string& path) {
  size_t p = LastSeparator(path);
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileDir(const std::string& path) {
  size_t p = LastSeparator(path);
  if (p == std::string::npos) return std::string();
  // Keep the backslash of a drive root ("C:\x" -> "C:\").
  if (p > 0 && path[p] == '\\' && path[p - 1] != ':') return path.substr(0, p);
  return path.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& path) {
  size_t p = LastSeparator(path);
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> elements;
  size_t pos = 0;
  if (path.size() >= 2 && path[1] == ':') {
    elements.push_back(path.substr(0, 3));
    pos = 3;
  }
  while (pos < path.size()) {
    size_t next = path.find('\\', pos);
    if (next == std::string::npos) next = path.size();
    elements.push_back(path.substr(pos, next - pos));
    pos = next + 1;
  }
  if (!elements.empty() && elements.back().empty()) elements.pop_back();
  return elements;
}

std::string JoinPathLevels(const std::vector<std::string>& elements, size_t level) {
  if (elements.empty()) return std::string();
  std::string result = ExcludeTrailingBackslash(elements[0]);
  for (size_t i = 1; i <= level && i < elements.size(); ++i) result += "\\" + elements[i];
  return result;
}

std::string ConvertLineBreaks(const std::string& text) {
  return ReplaceAll(text, "\\n", "\r\n");
}

std::string QuoteProgramPath(const std::string& path) {
  if (path.find(' ') != std::string::npos) return "\"" + path + "\" ";
  return path + " ";
}

std::string FormatNumber2(double value, const std::string& thousandSep,
                          const std::string& decimalSep) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", value);
  std::string s = buf;
  std::string sign;
  if (!s.empty() && s[0] == '-') {
    sign = "-";
    s.erase(0, 1);
  }
  size_t dot = s.find('.');
  std::string whole = s.substr(0, dot), frac = s.substr(dot + 1);
  std::string grouped;
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) grouped += thousandSep;
    grouped += whole[i];
  }
  return sign + grouped + decimalSep + frac;
}

std::string FormatFileSizeWith(long count, const std::string& thousandSep,
                               const std::string& decimalSep) {
  char buf[64];
  if (count == 0) return "None";
  if (count < 1024) {
    std::snprintf(buf, sizeof buf, "%ld bytes", count);
    return buf;
  }
  if (count < 1024000) {
    std::snprintf(buf, sizeof buf, "%ld KB", count / 1024);
    return buf;
  }
  return FormatNumber2(count / 1024000.0, thousandSep, decimalSep) + " MB";
}

TPoint CenterPosition(const TRectI& r, int width, int height, int screenWidth,
                      int screenHeight) {
  // Integer division truncates toward zero, as the halving must.
  int x = r.left + ((r.right - r.left) - width) / 2;
  int y = r.top + ((r.bottom - r.top) - height) / 2;
  if (x + width > screenWidth) x = screenWidth - width;
  if (y + height > screenHeight) y = screenHeight - height;
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  return {x, y};
}

// Days from 0001-01-01 (proleptic Gregorian) to the given date, 0-based.
static long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;  // days since 1970-01-01
}

static const long kDelphiEpochFromUnix = -25569;  // 1899-12-30 is 25569 days before 1970

double EncodeDateTime(const TDateParts& p) {
  long days = DaysFromCivil(p.year, p.month, p.day) - kDelphiEpochFromUnix;
  double frac = (p.hour * 3600.0 + p.minute * 60.0 + p.second) / 86400.0;
  return days + frac;
}

TDateParts DecodeDateTime(double value) {
  long days = static_cast<long>(std::floor(value));
  double frac = value - days;
  long secs = std::lround(frac * 86400.0);
  if (secs >= 86400) {
    secs -= 86400;
    ++days;
  }
  long z = days + kDelphiEpochFromUnix + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  TDateParts p{};
  p.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  p.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  p.year = static_cast<int>(yoe + era * 400 + (p.month <= 2));
  p.hour = static_cast<int>(secs / 3600);
  p.minute = static_cast<int>(secs / 60 % 60);
  p.second = static_cast<int>(secs % 60);
  return p;
}

double FileDateToDateTime(unsigned int packed) {
  TDateParts p{};
  unsigned date = packed >> 16, time = packed & 0xFFFF;
  p.year = static_cast<int>((date >> 9) + 1980);
  p.month = static_cast<int>((date >> 5) & 15);
  p.day = static_cast<int>(date & 31);
  p.hour = static_cast<int>(time >> 11);
  p.minute = static_cast<int>((time >> 5) & 63);
  p.second = static_cast<int>((time & 31) * 2);
  if (p.month < 1 || p.month > 12 || p.day < 1 || p.day > 31 || p.hour > 23 ||
      p.minute > 59 || p.second > 59)
    return 0;
  return EncodeDateTime(p);
}

std::string FormatHourMinuteAmPm(double value, const std::string& am, const std::string& pm) {
  TDateParts p = DecodeDateTime(value);
  int h12 = p.hour % 12;
  if (h12 == 0) h12 = 12;
  char buf[32];
  std::snprintf(buf, sizeof buf, " %d:%02d ", h12, p.minute);
  return buf + (p.hour < 12 ? am : pm);
}
