// A second start of the program hands over to the first.
#include "shell/SingleInst.h"

#include <gtest/gtest.h>

#include "shell/fMain.h"
#include "support/Processes.h"

namespace {

PROCESS_INFORMATION Start(const std::string& args) {
  std::string exe = std::string(getenv("VOCALET_BIN_DIR")) + "/Vocalet.exe";
  for (char& c : exe)
    if (c == '/') c = '\\';
  return StartProcess("\"" + exe + "\" " + args);
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
