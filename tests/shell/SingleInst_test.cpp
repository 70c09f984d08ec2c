// The single-instance protocol between this process and real second starts.
#include "shell/SingleInst.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "shell/fMain.h"

namespace {

std::string BinDir() {
  std::string dir = getenv("VOCALET_BIN_DIR");
  for (char& c : dir)
    if (c == '/') c = '\\';
  return dir;
}

PROCESS_INFORMATION Start(const std::string& exe, const std::string& args) {
  std::string cmd = "\"" + exe + "\" " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  return pi;
}

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

void PumpUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 300 && !done(); ++i) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(20);
  }
}

TEST(SingleInstance, NothingRunningMeansNoHandOver) {
  EXPECT_FALSE(NotifyPreviousInstance("{Vocalet-Test-Nobody-Home}", {"a"}));
}

TEST(SingleInstance, SecondStartsHandTheirParametersOverInOrderAndGiveTheAtomsBack) {
  TComponent root(nullptr);
  auto* man = Make<TSingleInstanceManager>(&root);
  man->SetProgramID("{Vocalet-Test-9C1E}");
  std::vector<std::vector<std::string>> requests;
  man->OnStartRequest = [&](TComponent* s) {
    EXPECT_EQ(s, man);
    requests.push_back(man->Params);
  };
  const std::string harness = BinDir() + "\\si_harness.exe";
  // Too long for an atom: its place stays, empty.
  EXPECT_EQ(EndOf(Start(harness, "same \"two words\" same " + std::string(300, 'L') + " last")),
            0u);
  PumpUntil([&] { return requests.size() == 1; });
  EXPECT_EQ(EndOf(Start(harness, "")), 0u);
  PumpUntil([&] { return requests.size() == 2; });
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], (std::vector<std::string>{"same", "two words", "same", "", "last"}));
  EXPECT_TRUE(requests[1].empty());
  EXPECT_EQ(GlobalFindAtomA("two words"), 0);
}

LRESULT CALLBACK OtherProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcA(h, m, w, l);
}

TEST(SingleInstance, WindowClassWithAnotherProcedureIsRegisteredAgain) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = OtherProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SingleInstanceManagerWindow";
  UnregisterClassA(wc.lpszClassName, wc.hInstance);
  ASSERT_NE(RegisterClassA(&wc), 0);
  TComponent root(nullptr);
  auto* man = Make<TSingleInstanceManager>(&root);
  ASSERT_NE(man->Handle(), nullptr);
  WNDCLASSA now{};
  ASSERT_TRUE(GetClassInfoA(wc.hInstance, wc.lpszClassName, &now));
  EXPECT_EQ(now.lpfnWndProc, DefWindowProcA);
  const DWORD style = GetWindowLongA(man->Handle(), GWL_STYLE);
  EXPECT_EQ(style & 0x80C00000u, 0x80C00000u);
  EXPECT_FALSE(IsWindowVisible(man->Handle()));
}

std::vector<HWND> VocaletWindows() {
  std::vector<HWND> found;
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, nullptr, "Quindle Vocalet"));)
    found.push_back(w);
  return found;
}

TEST(SingleInstance, SecondVocaletBringsTheFirstBack) {
  const std::string exe = BinDir() + "\\Vocalet.exe";
  const PROCESS_INFORMATION first = Start(exe, "");
  ASSERT_NE(first.hProcess, nullptr);
  struct TEnded {  // whatever becomes of the test
    const PROCESS_INFORMATION& pi;
    ~TEnded() {
      TerminateProcess(pi.hProcess, 9);
      EndOf(pi);
    }
  } ended{first};
  std::vector<HWND> main;
  // Found by a second start only once its main window has set the identifier.
  auto up = [&] { return FindWindowA(SingleInstanceClassName, VocaletProgramID) != nullptr; };
  for (int i = 0; i < 300 && (main.empty() || !up()); ++i) {
    Sleep(50);
    main = VocaletWindows();
  }
  ASSERT_EQ(main.size(), 1u);
  ShowWindow(main[0], SW_MINIMIZE);
  for (int i = 0; i < 40 && !IsIconic(main[0]); ++i) Sleep(50);
  ASSERT_TRUE(IsIconic(main[0]));

  EXPECT_EQ(EndOf(Start(exe, "one two")), 0u);
  for (int i = 0; i < 100 && IsIconic(main[0]); ++i) Sleep(50);
  EXPECT_FALSE(IsIconic(main[0]));
  EXPECT_TRUE(IsWindowVisible(main[0]));
  EXPECT_EQ(VocaletWindows().size(), 1u) << "a second main window was opened";

  PostMessageA(main[0], WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(first.hProcess, 15000), WAIT_OBJECT_0);
}

}  // namespace
