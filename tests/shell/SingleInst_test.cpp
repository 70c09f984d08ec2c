// Two and three real processes meeting through the single-instance protocol.
#include "shell/SingleInst.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "TestFolder.h"
#include "shell/fMain.h"

namespace {

const char kTestID[] = "{Vocalet-Test-9C1E}";

std::string BinDir() {
  std::string dir = getenv("VOCALET_BIN_DIR");
  for (char& c : dir)
    if (c == '/') c = '\\';
  return dir;
}

struct Process {
  PROCESS_INFORMATION pi{};
  bool Start(const std::string& exe, const std::string& args) {
    std::string cmd = "\"" + exe + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    return CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi) != 0;
  }
  bool WaitExit(DWORD ms, DWORD* code = nullptr) {
    if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return false;
    if (code) GetExitCodeProcess(pi.hProcess, code);
    return true;
  }
  ~Process() {
    if (pi.hProcess) {
      if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 9);
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
  }
};

HWND WaitForWindow(const char* cls, const char* title, int ms = 15000) {
  for (int waited = 0; waited < ms; waited += 50) {
    if (HWND h = FindWindowA(cls, title)) return h;
    Sleep(50);
  }
  return nullptr;
}

std::vector<std::string> WaitForRequest(const std::string& file, int number) {
  std::string path = file + "." + std::to_string(number);
  for (int i = 0; i < 300; ++i) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
      std::ifstream in(path, std::ios::binary);
      std::vector<std::string> lines;
      std::string line;
      while (std::getline(in, line)) lines.push_back(line);
      return lines;
    }
    Sleep(50);
  }
  return {"<no request " + std::to_string(number) + ">"};
}

TEST(SingleInstance, NothingRunningMeansNoHandOver) {
  EXPECT_FALSE(NotifyPreviousInstance("{Vocalet-Test-Nobody-Home}", {"a"}));
}

TEST(SingleInstance, SecondStartsHandTheirParametersOverInOrder) {
  TestFolder folder;
  std::string out = folder.Path() + "\\requests.txt";
  SetEnvironmentVariableA("SI_OUT", out.c_str());
  std::string harness = BinDir() + "\\si_harness.exe";

  Process first;
  ASSERT_TRUE(first.Start(harness, ""));
  ASSERT_NE(WaitForWindow("SingleInstanceManagerWindow", kTestID), nullptr);

  std::string longParam(300, 'L');
  Process second;
  ASSERT_TRUE(second.Start(harness, "same \"two words\" same " + longParam + " last"));
  DWORD code = 99;
  ASSERT_TRUE(second.WaitExit(15000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(WaitForRequest(out, 1),
            (std::vector<std::string>{"same", "two words", "same", "", "last"}));

  Process third;
  ASSERT_TRUE(third.Start(harness, ""));
  ASSERT_TRUE(third.WaitExit(15000));
  std::vector<std::string> request2 = WaitForRequest(out, 2);
  EXPECT_TRUE(request2.empty()) << ::testing::PrintToString(request2);

  // The atoms went back to the system: a parameter's text is no longer an atom.
  EXPECT_EQ(GlobalFindAtomA("two words"), 0);

  Process quit;
  ASSERT_TRUE(quit.Start(harness, "quit"));
  ASSERT_TRUE(quit.WaitExit(15000));
  EXPECT_TRUE(first.WaitExit(15000));
}

TEST(SingleInstance, ReceiverKeepsAnEmptyPlaceForAnUnreadableAtom) {
  TComponent root(nullptr);
  auto* man = Make<TSingleInstanceManager>(&root);
  man->SetProgramID("{Vocalet-Test-InProcess}");
  char title[64] = {};
  GetWindowTextA(man->Handle(), title, sizeof title);
  EXPECT_STREQ(title, "{Vocalet-Test-InProcess}");
  int raised = 0;
  man->OnStartRequest = [&](TComponent* s) {
    EXPECT_EQ(s, man);
    ++raised;
  };
  ATOM a = GlobalAddAtomA("first");
  EXPECT_EQ(SendMessageA(man->Handle(), SIM_BEGIN, 0, 0), 1);
  EXPECT_EQ(SendMessageA(man->Handle(), SIM_PARAM, 0, a), 1);
  EXPECT_EQ(SendMessageA(man->Handle(), SIM_PARAM, 0, 0), 1);
  EXPECT_EQ(raised, 0);
  EXPECT_EQ(SendMessageA(man->Handle(), SIM_END, 0, 0), 1);
  EXPECT_EQ(raised, 1);
  EXPECT_EQ(man->Params, (std::vector<std::string>{"first", ""}));
  EXPECT_EQ(GlobalFindAtomA("first"), 0);
  // A new request starts from an empty list.
  SendMessageA(man->Handle(), SIM_BEGIN, 0, 0);
  EXPECT_TRUE(man->Params.empty());
}

LRESULT CALLBACK OtherProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

TEST(SingleInstance, WindowClassWithAnotherProcedureIsRegisteredAgain) {
  // A class of the same name left by someone else with its own procedure is replaced.
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
  LONG style = GetWindowLongA(man->Handle(), GWL_STYLE);
  EXPECT_EQ(static_cast<DWORD>(style) & 0x80C00000u, 0x80C00000u);
  EXPECT_FALSE(IsWindowVisible(man->Handle()));
}

struct VocaletWindows {
  DWORD pid;
  std::vector<HWND> main;
};

BOOL CALLBACK CollectMain(HWND h, LPARAM lp) {
  auto* w = reinterpret_cast<VocaletWindows*>(lp);
  char title[64] = {};
  GetWindowTextA(h, title, sizeof title);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (std::string(title) == "Quindle Vocalet" && (w->pid == 0 || pid == w->pid))
    w->main.push_back(h);
  return TRUE;
}

TEST(SingleInstance, SecondVocaletBringsTheFirstBack) {
  std::string exe = BinDir() + "\\Vocalet.exe";
  Process first;
  ASSERT_TRUE(first.Start(exe, ""));
  ASSERT_NE(WaitForWindow("SingleInstanceManagerWindow", VocaletProgramID), nullptr);
  VocaletWindows mine{first.pi.dwProcessId, {}};
  for (int i = 0; i < 100 && mine.main.empty(); ++i) {
    EnumWindows(CollectMain, reinterpret_cast<LPARAM>(&mine));
    if (mine.main.empty()) Sleep(50);
  }
  ASSERT_EQ(mine.main.size(), 1u);
  HWND main = mine.main[0];
  ShowWindow(main, SW_MINIMIZE);
  for (int i = 0; i < 40 && !IsIconic(main); ++i) Sleep(50);
  ASSERT_TRUE(IsIconic(main));

  Process second;
  ASSERT_TRUE(second.Start(exe, "one two"));
  DWORD code = 99;
  ASSERT_TRUE(second.WaitExit(15000, &code));
  EXPECT_EQ(code, 0u);
  for (int i = 0; i < 100 && IsIconic(main); ++i) Sleep(50);
  EXPECT_FALSE(IsIconic(main));
  EXPECT_TRUE(IsWindowVisible(main));

  VocaletWindows all{0, {}};
  EnumWindows(CollectMain, reinterpret_cast<LPARAM>(&all));
  EXPECT_EQ(all.main.size(), 1u) << "a second main window was opened";

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitExit(15000));
}

}  // namespace
