// A second start of the program hands over to the first.
#include "shell/SingleInst.h"

#include <gtest/gtest.h>

#include "shell/fMain.h"

namespace {

// Its exit code once it has ended, or 99 when it does not end (it is ended then).
DWORD EndOf(const PROCESS_INFORMATION& pi) {
  DWORD code = 99;
  if (WaitForSingleObject(pi.hProcess, 15000) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  else
    TerminateProcess(pi.hProcess, 99);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}

PROCESS_INFORMATION Start(const std::string& args) {
  std::string exe = std::string(getenv("VOCALET_BIN_DIR")) + "/Vocalet.exe";
  for (char& c : exe)
    if (c == '/') c = '\\';
  std::string cmd = "\"" + exe + "\" " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  return pi;
}

TEST(SingleInstance, SecondVocaletBringsTheFirstBackAndGivesTheAtomsBack) {
  const PROCESS_INFORMATION first = Start("");
  ASSERT_NE(first.hProcess, nullptr);
  struct TEnded {  // whatever becomes of the test
    const PROCESS_INFORMATION& pi;
    ~TEnded() {
      TerminateProcess(pi.hProcess, 9);
      EndOf(pi);
    }
  } ended{first};
  // Found by a second start only once its main window has set the identifier.
  HWND main = nullptr;
  for (int i = 0; i < 300 && !(main && FindWindowA(SingleInstanceClassName, VocaletProgramID));
       ++i) {
    Sleep(50);
    main = FindWindowA(nullptr, "Quindle Vocalet");
  }
  ASSERT_NE(main, nullptr);
  ShowWindow(main, SW_MINIMIZE);
  for (int i = 0; i < 40 && !IsIconic(main); ++i) Sleep(50);
  ASSERT_TRUE(IsIconic(main));
  EXPECT_EQ(EndOf(Start("one vocalet-handed-over")), 0u);
  for (int i = 0; i < 100 && IsIconic(main); ++i) Sleep(50);
  EXPECT_FALSE(IsIconic(main));
  EXPECT_EQ(GlobalFindAtomA("vocalet-handed-over"), 0) << "the parameters' atoms stay";
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(first.hProcess, 15000), WAIT_OBJECT_0);
}

}  // namespace
