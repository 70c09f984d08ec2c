// One start and a clean exit of Vocalet.exe leave the options and the language in the
// registry. Runs the real program beside this test.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "mls/RegistrySandbox.h"

namespace {

std::string VocaletExe() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.find_last_of('\\') + 1) + "Vocalet.exe";
}

HWND WaitForWindow(DWORD processId, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, nullptr, "Quindle Vocalet")) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(found, &owner);
      if (owner == processId && IsWindowVisible(found)) return found;
    }
    Sleep(50);
  }
  return nullptr;
}

TEST(FirstRun, LeavesFourteenOptionsAndTheLanguage) {
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quindle\\Vocalet");
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quindle\\MLS");

  std::string commandLine = "\"" + VocaletExe() + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &si, &pi))
      << commandLine;
  HWND window = WaitForWindow(pi.dwProcessId, 30000);
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

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quindle\\Vocalet", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(values, 14u);
  EXPECT_EQ(GetValue("Software\\Quindle\\Vocalet", "Quality ").Type,
            static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(GetValue("Software\\Quindle\\Vocalet", "GSM610").Text, "1");
  const StoredValue language = GetValue("Software\\Quindle\\MLS", "Vocalet");
  EXPECT_EQ(language.Type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(language.Number, 4u);
}

}  // namespace
