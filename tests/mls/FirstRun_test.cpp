// One start and a clean exit of the real Vocalet.exe beside this test leave the options and the
// language in the registry.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "mls/RegistrySandbox.h"

namespace {

TEST(FirstRun, LeavesFourteenOptionsAndTheLanguage) {
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quindle\\Vocalet");
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quindle\\MLS");
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string commandLine = path;
  commandLine = "\"" + commandLine.substr(0, commandLine.find_last_of('\\') + 1) + "Vocalet.exe\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &si, &pi))
      << commandLine;
  HWND window = nullptr;
  for (int waited = 0; !window && waited < 30000; waited += 50) {
    Sleep(50);
    for (HWND h = nullptr; (h = FindWindowExA(nullptr, h, nullptr, "Quindle Vocalet"));) {
      DWORD owner = 0;
      GetWindowThreadProcessId(h, &owner);
      if (owner == pi.dwProcessId && IsWindowVisible(h)) window = h;
    }
  }
  EXPECT_NE(window, nullptr) << "no main window";
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  const DWORD waited = WaitForSingleObject(pi.hProcess, 30000);
  if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  DWORD exitCode = 1;
  GetExitCodeProcess(pi.hProcess, &exitCode);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_EQ(waited, WAIT_OBJECT_0) << "did not end";
  EXPECT_EQ(exitCode, 0u);

  HKEY key = OpenTestKey("Software\\Quindle\\Vocalet");
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(values, 14u);
  EXPECT_EQ(GetValue("Software\\Quindle\\Vocalet", "Quality ").Type, DWORD(REG_DWORD));
  EXPECT_EQ(GetValue("Software\\Quindle\\Vocalet", "GSM610").Text, "1");
  const StoredValue language = GetValue("Software\\Quindle\\MLS", "Vocalet");
  EXPECT_EQ(language.Type, DWORD(REG_DWORD));
  EXPECT_EQ(language.Number, 4u);
}

}  // namespace
