// Helpers shared by the delivery tests under Wine: programs of the build, files, processes.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

// A Unix folder from the test's environment as a Windows path (Wine maps / to Z:).
inline std::string WinPathFromEnv(const char* variable) {
  const char* value = std::getenv(variable);
  std::string dir = value ? value : "";
  for (char& c : dir)
    if (c == '/') c = '\\';
  if (!dir.empty() && dir[0] == '\\') dir = "Z:" + dir;
  return dir;
}

inline std::string BinDir() { return WinPathFromEnv("VOCALET_BIN_DIR"); }

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteWholeFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << data;
}

inline bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a command line and waits for it; the exit code, or -1 when it did not start or did
// not end within the time.
inline long RunAndWait(const std::string& commandLine, DWORD timeoutMs = 30000) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = commandLine;
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return -1;
  long code = -1;
  if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    code = static_cast<long>(exitCode);
  } else {
    TerminateProcess(pi.hProcess, 99);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}
