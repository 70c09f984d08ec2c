// What the delivery tests under Wine share: the build's programs, files, windows, processes
// and the Unix side.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/Processes.h"
#include "support/UnixShell.h"

// A Unix folder from the test's environment as a Windows path (Wine maps / to Z:).
inline std::string WinPathFromEnv(const char* variable) {
  const char* value = std::getenv(variable);
  std::string dir = value ? value : "";
  for (char& c : dir)
    if (c == '/') c = '\\';
  return !dir.empty() && dir[0] == '\\' ? "Z:" + dir : dir;
}

inline std::string BinDir() { return WinPathFromEnv("VOCALET_BIN_DIR"); }

inline std::string ReadWholeFile(const std::string& path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

inline void WriteWholeFile(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

// Runs a command line and waits for its exit code; -1 when it did not start, 99 when it did
// not end in time.
inline long RunAndWait(const std::string& commandLine) {
  const PROCESS_INFORMATION pi = StartProcess(commandLine);
  return pi.hProcess ? static_cast<long>(EndOf(pi, 30000)) : -1;
}

// The Unix path of a Windows path given in the ANSI code page; empty outside Wine.
inline std::string UnixPath(const std::string& path) {
  using TGetUnixName = char*(CDECL*)(const WCHAR*);
  auto f = reinterpret_cast<TGetUnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  std::wstring w(path.size() + 1, L'\0');
  w.resize(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, w.data(), int(w.size())));
  char* u = f ? f(w.c_str()) : nullptr;
  std::string s = u ? u : "";
  HeapFree(GetProcessHeap(), 0, u);
  return s;
}

inline void Pump(int ms) {
  for (const DWORD end = GetTickCount() + ms; GetTickCount() < end; Sleep(5)) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
}

// A plain white top-level window, shown without activation.
inline HWND MakeWindow(const char* className, const char* caption, int x, int y, int w, int h,
                       DWORD exStyle = 0) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = className;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClassA(&wc);  // again for the same class: fails harmlessly
  HWND hwnd = CreateWindowExA(exStyle, className, caption, WS_POPUP, x, y, w, h, nullptr,
                              nullptr, wc.hInstance, nullptr);
  ShowWindow(hwnd, SW_SHOWNA);
  return hwnd;
}
