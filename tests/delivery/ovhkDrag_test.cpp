// ovhkDrag.dll under Wine: the named window follows synthetic mouse input (SendInput and,
// when xdotool is there, the X pointer of the virtual display) and is left alone after
// ovHkDragEnd or when the library goes without it.
#include <gtest/gtest.h>

#include "DeliveryTestUtils.h"
#include "ovhkDrag.h"

namespace {

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcA(h, m, w, l);
}

HWND MakeWindow(const char* className, const char* caption, int x, int y, int w, int h) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = className;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClassA(&wc);  // a second registration of the same class fails harmlessly
  HWND hwnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, className, caption, WS_POPUP,
                              x, y, w, h, nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(hwnd, SW_SHOWNA);
  return hwnd;
}

void Pump(int ms) {
  DWORD end = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(5);
  } while (GetTickCount() < end);
}

POINT TopLeft(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return POINT{r.left, r.top};
}

// Moves the mouse through the input queue, so low-level hooks see it, and returns the
// position sent. Wine hands the hooks that position but does not warp the X pointer while
// it is over no window of Wine's, so GetCursorPos may keep the old one.
POINT MoveMouse(int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = (x * 65536 + w / 2) / w;
  in.mi.dy = (y * 65536 + h / 2) / h;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  Pump(150);
  return POINT{x, y};
}

bool operator==(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
POINT Offset(POINT p, int dx, int dy) { return POINT{p.x + dx, p.y + dy}; }

class HookLibrary : public ::testing::Test {
 protected:
  HMODULE lib = nullptr;
  TOvHkDragBegin begin = nullptr;
  TOvHkDragEnd end = nullptr;
  HWND target = nullptr;
  void SetUp() override {
    lib = LoadLibraryA((BinDir() + "\\ovhkDrag.dll").c_str());
    ASSERT_NE(lib, nullptr);
    begin = reinterpret_cast<TOvHkDragBegin>(
        reinterpret_cast<void*>(GetProcAddress(lib, "ovHkDragBegin")));
    end = reinterpret_cast<TOvHkDragEnd>(
        reinterpret_cast<void*>(GetProcAddress(lib, "ovHkDragEnd")));
    ASSERT_NE(begin, nullptr);
    ASSERT_NE(end, nullptr);
    target = MakeWindow("TDragFormTest", "DragForm", 700, 600, 40, 30);
    MoveMouse(100, 100);
  }
  void TearDown() override {
    if (lib) {
      end();
      FreeLibrary(lib);
    }
    DestroyWindow(target);
  }
};

TEST_F(HookLibrary, TheWindowFollowsThePointerUntilTheEnd) {
  ASSERT_TRUE(begin("TDragFormTest", "DragForm", 5, 7));
  POINT now{};
  GetCursorPos(&now);
  EXPECT_TRUE(TopLeft(target) == Offset(now, 5, 7)) << "placed at once";
  for (POINT to : {POINT{300, 200}, POINT{310, 204}, POINT{20, 500}}) {
    POINT at = MoveMouse(to.x, to.y);
    EXPECT_TRUE(TopLeft(target) == Offset(at, 5, 7)) << at.x << "," << at.y;
  }
  EXPECT_TRUE(end());
  POINT left = TopLeft(target);
  MoveMouse(400, 300);
  EXPECT_TRUE(TopLeft(target) == left);
  EXPECT_FALSE(end()) << "no hook left to remove";
}

TEST_F(HookLibrary, ASecondBeginTakesTheNewWindowAndOffsets) {
  HWND other = MakeWindow("OtherDragForm", "Other", 650, 650, 30, 30);
  ASSERT_TRUE(begin("TDragFormTest", "DragForm", 1, 1));
  ASSERT_TRUE(begin("OtherDragForm", "Other", -3, 2));
  POINT targetBefore = TopLeft(target);
  POINT at = MoveMouse(250, 250);
  EXPECT_TRUE(TopLeft(other) == Offset(at, -3, 2));
  EXPECT_TRUE(TopLeft(target) == targetBefore);
  EXPECT_TRUE(end());
  EXPECT_FALSE(end());
  DestroyWindow(other);
}

TEST_F(HookLibrary, ClassAndCaptionMustBothMatch) {
  POINT before = TopLeft(target);
  ASSERT_TRUE(begin("TDragFormTest", "Another caption", 1, 1));
  MoveMouse(222, 111);
  EXPECT_TRUE(TopLeft(target) == before);
  end();
}

TEST_F(HookLibrary, NamingNoWindowFollowsNothing) {
  POINT before = TopLeft(target);
  EXPECT_FALSE(begin("", nullptr, 1, 1));
  MoveMouse(150, 160);
  EXPECT_TRUE(TopLeft(target) == before);
  EXPECT_FALSE(end());
}

TEST_F(HookLibrary, UnloadingWithoutEndLeavesNoHookBehind) {
  ASSERT_TRUE(begin("TDragFormTest", "DragForm", 1, 1));
  MoveMouse(120, 130);
  FreeLibrary(lib);
  lib = nullptr;
  POINT left = TopLeft(target);
  // A hook still set would now call into the freed library.
  MoveMouse(330, 340);
  MoveMouse(340, 350);
  EXPECT_TRUE(TopLeft(target) == left);
}

TEST_F(HookLibrary, TheRealPointerOfTheVirtualDisplayIsFollowed) {
  using TSpawn = int(WINAPI*)(char* const argv[], int wait);
  auto spawn = reinterpret_cast<TSpawn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
  ASSERT_NE(spawn, nullptr) << "runs under Wine only";
  char which[] = "which", xdotool[] = "xdotool";
  char* probe[] = {which, xdotool, nullptr};
  ASSERT_EQ(spawn(probe, 1), 0) << "xdotool not installed (tools/install-deps.sh)";
  // X reports motion only over a window of ours: a large one under the pointer's path.
  HWND ground = MakeWindow("DragGround", "Ground", 0, 0, 600, 500);
  Pump(200);
  ASSERT_TRUE(begin("TDragFormTest", "DragForm", 1, 1));
  for (int step = 0; step < 4; ++step) {
    std::string x = std::to_string(100 + 60 * step), y = std::to_string(80 + 40 * step);
    char mm[] = "mousemove";
    char* argv[] = {xdotool, mm, x.data(), y.data(), nullptr};
    ASSERT_EQ(spawn(argv, 1), 0);
    Pump(200);
    POINT at{};
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 100 + 60 * step);
    EXPECT_TRUE(TopLeft(target) == Offset(at, 1, 1)) << at.x << "," << at.y;
  }
  end();
  DestroyWindow(ground);
}

}  // namespace
