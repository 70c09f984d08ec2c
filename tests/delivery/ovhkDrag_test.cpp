// ovhkDrag.dll under Wine: the named window follows the mouse input and is left alone after
// ovHkDragEnd or when the library goes without it.
#include <gtest/gtest.h>

#include "DeliveryTestUtils.h"
#include "ovhkDrag.h"

namespace {

std::string At(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

std::string Corner(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return At(r.left, r.top);
}

// Moves the mouse through the input queue, so that low-level hooks see it. Wine does not warp
// the X pointer while it is over no window of Wine's, so GetCursorPos may keep the old place.
void MoveMouse(int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = (x * 65536 + w / 2) / w;
  in.mi.dy = (y * 65536 + h / 2) / h;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  Pump(150);
}

class HookLibrary : public ::testing::Test {
 protected:
  HMODULE lib = LoadLibraryA((BinDir() + "\\ovhkDrag.dll").c_str());
  TOvHkDragBegin begin = nullptr;
  TOvHkDragEnd end = nullptr;
  HWND target = MakeWindow("TDragFormTest", "DragForm", 700, 600, 40, 30,
                           WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
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

TEST_F(HookLibrary, OnlyTheWindowOfThatClassAndCaptionFollowsThePointerUntilTheEnd) {
  const std::string before = Corner(target);
  ASSERT_TRUE(begin("TDragFormTest", "Another caption", 5, 7));
  MoveMouse(222, 111);
  EXPECT_EQ(Corner(target), before) << "class and caption must both match";
  ASSERT_TRUE(begin("TDragFormTest", "DragForm", 5, 7));
  POINT now{};
  GetCursorPos(&now);
  EXPECT_EQ(Corner(target), At(now.x + 5, now.y + 7)) << "placed at once";
  for (POINT to : {POINT{300, 200}, POINT{310, 204}, POINT{20, 500}}) {
    MoveMouse(to.x, to.y);
    EXPECT_EQ(Corner(target), At(to.x + 5, to.y + 7));
  }
  EXPECT_TRUE(end());
  const std::string left = Corner(target);
  MoveMouse(400, 300);
  EXPECT_EQ(Corner(target), left);
  EXPECT_FALSE(end()) << "no hook left to remove";
}

TEST_F(HookLibrary, UnloadingWithoutEndLeavesNoHookBehind) {
  ASSERT_TRUE(begin("TDragFormTest", "DragForm", 1, 1));
  MoveMouse(120, 130);
  FreeLibrary(lib);
  lib = nullptr;
  const std::string left = Corner(target);
  // A hook still set would now call into the freed library.
  MoveMouse(330, 340);
  EXPECT_EQ(Corner(target), left);
}

}  // namespace
