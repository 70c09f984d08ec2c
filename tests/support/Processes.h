// Tests that run a second program: start it from a command line, and wait for its end.
#pragma once

#include <windows.h>

#include <string>

// hProcess is null when it did not start.
inline PROCESS_INFORMATION StartProcess(std::string commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  return pi;
}

// Its exit code once it has ended, or 99 when it does not end in time (it is ended then).
inline DWORD EndOf(const PROCESS_INFORMATION& pi, DWORD ms = 15000) {
  DWORD code = 99;
  if (WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  else
    TerminateProcess(pi.hProcess, 99);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}
