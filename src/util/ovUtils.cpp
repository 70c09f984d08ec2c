#include "util/ovUtils.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "util/Handles.h"
#include "util/SafeWrite.h"

std::string CurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";

std::string ConfirmationTitle = "Confirmation";
std::string InformationTitle = "Information";
std::string ErrorTitle = "Error";

std::string ReadCurrentVersionValue(const std::string& name) {
  TRegistryEx reg(HKEY_LOCAL_MACHINE);
  if (!reg.OpenKeyReadOnly(CurrentVersionKey)) {
    // The two characters \n stay as written: the error box turns them into line breaks.
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "Cannot access system registry infromation in:\\n%s\\n\\nPlease make sure "
                  "that you have a proper access rights to the system.",
                  ("HKEY_LOCAL_MACHINE\\" + CurrentVersionKey).c_str());
    throw std::runtime_error(buf);
  }
  std::string value = reg.ReadString(name);
  reg.CloseKey();
  return value;
}

static std::string FromBuffer(const char* buf) { return std::string(buf); }

std::string GetWindowsDir() {
  char buf[256] = {};
  GetWindowsDirectoryA(buf, sizeof buf);
  return FromBuffer(buf);
}

std::string GetSystemDir() {
  char buf[256] = {};
  GetSystemDirectoryA(buf, sizeof buf);
  return FromBuffer(buf);
}

std::string GetModuleFileNameStr(HMODULE module) {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(module, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return std::string();
    if (n < buf.size()) return std::string(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

std::string GetThisDir() { return ExcludeTrailingBackslash(ExtractFilePath(GetModuleFileNameStr())); }

std::string ExpandPathMacros(const std::string& text) {
  return ExpandPathMacrosWith(text, [](TPathMacro m) -> std::string {
    switch (m) {
      case pmProgramFilesDir: return ReadCurrentVersionValue("ProgramFilesDir");
      case pmCommonFilesDir: return ReadCurrentVersionValue("CommonFilesDir");
      case pmWindowsDir: return GetWindowsDir();
      case pmSystemDir: return GetSystemDir();
      case pmTempDir: {
        char buf[256] = {};
        GetTempPathA(sizeof buf, buf);
        return FromBuffer(buf);
      }
      case pmThisDir: return GetThisDir();
      default: return std::string();
    }
  });
}

std::string GetTempDir() {
  char buf[256] = {};
  GetTempPathA(255, buf);
  std::string dir = FromBuffer(buf);
  // Without a temporary path the message would land in the current folder; the Windows
  // folder is a place that always exists.
  if (dir.empty()) dir = GetWindowsDir();
  return IncludeTrailingBackslash(dir);
}

bool DirectoryExists(const std::string& path) {
  if (path.empty()) return false;
  if (path.size() == 2) return path[1] == ':';
  if (path.size() == 3 && path.compare(1, 2, ":\\") == 0) return true;
  if (path.size() == 1) return false;
  std::string p = ExcludeTrailingBackslash(path);
  WIN32_FIND_DATAA fd;
  FindHandle h(FindFirstFileA(p.c_str(), &fd));
  if (!h) return false;
  return (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ForceDirectories(const std::string& pathIn, std::vector<std::string>* log) {
  if (pathIn.empty()) return false;
  std::string path = ExcludeTrailingBackslash(pathIn);
  if (DirectoryExists(path)) return true;
  std::vector<std::string> elements = SplitPath(path);
  for (size_t level = 1; level < elements.size(); ++level) {
    std::string dir = JoinPathLevels(elements, level);
    if (!DirectoryExists(dir)) {
      if (!CreateDirectoryA(dir.c_str(), nullptr)) return false;
      if (log) log->push_back(dir);
    }
  }
  // A path of one element (a bare name or a root that failed the test) creates nothing;
  // it only counts as done when it is there.
  return elements.size() > 1 || DirectoryExists(path);
}

void ShowErrorMessage(HWND owner, const std::string& text) {
  MessageBeep(MB_ICONHAND);
  MessageBoxA(owner, ConvertLineBreaks(text).c_str(), ErrorTitle.c_str(),
              MB_ICONHAND | MB_TASKMODAL | MB_SETFOREGROUND);
}

void ShowErrorMessage(const std::string& text) { ShowErrorMessage(nullptr, text); }

void CenterWindow(HWND reference, HWND window) {
  RECT ref;
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  if (reference) {
    GetWindowRect(reference, &ref);
  } else {
    ref = RECT{0, 0, sw, sh};
  }
  RECT wr;
  GetWindowRect(window, &wr);
  TPoint p = CenterPosition({ref.left, ref.top, ref.right, ref.bottom}, wr.right - wr.left,
                            wr.bottom - wr.top, sw, sh);
  SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static std::string LocaleInfo(LCTYPE type, const char* fallback) {
  char buf[32] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf) <= 0) return fallback;
  return buf;
}

std::string FormatFileSize(long count) {
  return FormatFileSizeWith(count, LocaleInfo(LOCALE_STHOUSAND, ","),
                            LocaleInfo(LOCALE_SDECIMAL, "."));
}

std::string FormatShortDate(double dateTime) {
  TDateParts p = DecodeDateTime(dateTime);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(p.year);
  st.wMonth = static_cast<WORD>(p.month);
  st.wDay = static_cast<WORD>(p.day);
  char buf[128] = {};
  if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, sizeof buf) <= 0)
    return std::string();
  return buf;
}

std::string FormatRecordedTime(double dateTime) {
  return FormatShortDate(dateTime) +
         FormatHourMinuteAmPm(dateTime, LocaleInfo(LOCALE_S1159, "AM"),
                              LocaleInfo(LOCALE_S2359, "PM"));
}

static bool FindFile(const std::string& fileName, WIN32_FIND_DATAA& fd) {
  FindHandle h(FindFirstFileA(fileName.c_str(), &fd));
  return static_cast<bool>(h);
}

long FileSizeOf(const std::string& fileName) {
  WIN32_FIND_DATAA fd;
  if (!FindFile(fileName, fd)) return 0;
  return static_cast<long>(fd.nFileSizeLow);
}

double FileDateOf(const std::string& fileName) {
  WIN32_FIND_DATAA fd;
  if (!FindFile(fileName, fd)) return 0;
  FILETIME local;
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&fd.ftLastWriteTime, &local) ||
      !FileTimeToDosDateTime(&local, &date, &time))
    return 0;
  return FileDateToDateTime((static_cast<unsigned>(date) << 16) | time);
}

long CopyFileData(const std::string& source, const std::string& destination) {
  // The copy goes beside the destination first, which it replaces only once complete: a
  // full disk or a failing source part-way leaves a file already there as it was.
  const std::int64_t copied = vocalet::CopyFileSafely(source, destination);
  return copied < 0 ? 0 : static_cast<long>(copied);
}

std::string GetFileVersionText(const std::string& fileName, DWORD& versionMS,
                               DWORD& versionLS) {
  DWORD dummy = 0;
  DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &dummy);
  if (size == 0) return "(Unknown)";
  std::vector<char> block(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!GetFileVersionInfoA(fileName.c_str(), 0, size, block.data()) ||
      !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &len) || !info ||
      len < sizeof(VS_FIXEDFILEINFO))
    return "(Unknown)";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", HIWORD(info->dwFileVersionMS),
                LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                LOWORD(info->dwFileVersionLS));
  versionMS = info->dwFileVersionMS;
  versionLS = info->dwFileVersionLS;
  return buf;
}

std::string GetFileVersionText(const std::string& fileName) {
  DWORD ms = 0, ls = 0;
  return GetFileVersionText(fileName, ms, ls);
}

static std::string CurrentDirectory() {
  char buf[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof buf, buf);
  return buf;
}

void BuildCommandLine(const std::string& program, const std::string& parameters,
                      const std::string& workingFolder, std::string& folderOut,
                      std::string& commandLineOut) {
  std::string folder = workingFolder;
  if (folder.empty()) folder = program.empty() ? ExtractFileDir(parameters) : ExtractFileDir(program);
  if (!DirectoryExists(folder)) folder = CurrentDirectory();
  folderOut = folder;
  if (!parameters.empty()) {
    commandLineOut = QuoteProgramPath(program) + parameters;
  } else if (!program.empty()) {
    commandLineOut = QuoteProgramPath(program);
  } else {
    commandLineOut.clear();
  }
}

bool LaunchProgram(const std::string& program, const std::string& parameters,
                   const std::string& workingFolder, WORD showCommand) {
  std::string folder, commandLine;
  BuildCommandLine(program, parameters, workingFolder, folder, commandLine);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW |
               (showCommand == 0 ? STARTF_FORCEOFFFEEDBACK : STARTF_FORCEONFEEDBACK);
  si.wShowWindow = showCommand;
  PROCESS_INFORMATION pi{};
  std::vector<char> cmd(commandLine.begin(), commandLine.end());
  cmd.push_back('\0');
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                      nullptr, folder.c_str(), &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

bool LaunchProgram(const std::string& program, const std::string& parameters,
                   const std::string& workingFolder) {
  return LaunchProgram(program, parameters, workingFolder, SW_SHOWNORMAL);
}
