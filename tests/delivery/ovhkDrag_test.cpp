// ovhkDrag.dll under Wine: the named window follows the mouse input and is left alone after
// ovHkDragEnd or when the library goes without it. The drag service's test drives it with
// the X pointer of the virtual display.
#include <gtest/gtest.h>

#include "DeliveryTestUtils.h"
#include "ovhkDrag.h"

namespace {

POINT TopLeft(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return POINT{r.left, r.top};
}

bool operator==(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
POINT Offset(POINT p, int dx, int dy) { return POINT{p.x + dx, p.y + dy}; }

// Moves the mouse through the input queue, so low-level hooks see it, and returns the
// position sent. Wine hands the hooks that position but does not warp the X pointer while
// it is over no window of Wine's, so GetCursorPos may keep the old one.
POINT MoveMouse(int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = (x * 65536 + w / 2) / w;
  in.mi.dy = (y * 65536 + h / 2) / h;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  Pump(150);
  return POINT{x, y};
}

class HookLibrary : public ::testing::Test {
 protected:
  HMODULE lib = LoadLibraryA((BinDir() + "\\ovhkDrag.dll").c_str());
  TOvHkDragBegin begin = nullptr;
  TOvHkDragEnd end = nullptr;
  static constexpr DWORD kStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  HWND target = MakeWindow("TDragFormTest", "DragForm", 700, 600, 40, 30, kStyle);
  void SetUp() override {
    ASSERT_NE(lib, nullptr);
    begin = reinterpret_cast<TOvHkDragBegin>(
        reinterpret_cast<void*>(GetProcAddress(lib, "ovHkDragBegin")));
    end = reinterpret_cast<TOvHkDragEnd>(
        reinterpret_cast<void*>(GetProcAddress(lib, "ovHkDragEnd")));
    ASSERT_TRUE(begin && end);
    MoveMouse(100, 100);
  }
  void TearDown() override {
    if (lib && end) end();
    if (lib) FreeLibrary(lib);
    DestroyWindow(target);
  }
};

TEST_F(HookLibrary, TheWindowFollowsThePointerUntilTheEnd) {
  ASSERT_TRUE(begin("TDragFormTest", "DragForm", 5, 7));
  POINT now{};
  GetCursorPos(&now);
  EXPECT_TRUE(TopLeft(target) == Offset(now, 5, 7)) << "placed at once";
  for (POINT to : {POINT{300, 200}, POINT{310, 204}, POINT{20, 500}})
    EXPECT_TRUE(TopLeft(target) == Offset(MoveMouse(to.x, to.y), 5, 7)) << to.x << "," << to.y;
  EXPECT_TRUE(end());
  const POINT left = TopLeft(target);
  MoveMouse(400, 300);
  EXPECT_TRUE(TopLeft(target) == left);
  EXPECT_FALSE(end()) << "no hook left to remove";
}

TEST_F(HookLibrary, OnlyTheWindowNamedLastByClassAndCaptionFollows) {
  HWND other = MakeWindow("OtherDragForm", "Other", 650, 650, 30, 30, kStyle);
  const POINT targetBefore = TopLeft(target);
  EXPECT_FALSE(begin("", nullptr, 1, 1)) << "naming no window follows nothing";
  EXPECT_FALSE(end());
  ASSERT_TRUE(begin("TDragFormTest", "Another caption", 1, 1));
  MoveMouse(222, 111);
  EXPECT_TRUE(TopLeft(target) == targetBefore) << "class and caption must both match";
  ASSERT_TRUE(begin("TDragFormTest", "DragForm", 1, 1));
  ASSERT_TRUE(begin("OtherDragForm", "Other", -3, 2));
  const POINT placed = TopLeft(target);  // at once, by the first of the two
  EXPECT_TRUE(TopLeft(other) == Offset(MoveMouse(250, 250), -3, 2));
  EXPECT_TRUE(TopLeft(target) == placed) << "a second begin takes the new window";
  DestroyWindow(other);
}

TEST_F(HookLibrary, UnloadingWithoutEndLeavesNoHookBehind) {
  ASSERT_TRUE(begin("TDragFormTest", "DragForm", 1, 1));
  MoveMouse(120, 130);
  FreeLibrary(lib);
  lib = nullptr;
  const POINT left = TopLeft(target);
  // A hook still set would now call into the freed library.
  MoveMouse(330, 340);
  MoveMouse(340, 350);
  EXPECT_TRUE(TopLeft(target) == left);
}

}  // namespace
