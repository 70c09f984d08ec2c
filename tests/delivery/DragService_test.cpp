// The drag service under Wine: the layered-window probe, the cursor counter, and whole
// drags onto a drop target driven by the X pointer of the virtual display (xdotool).
#include "delivery/DragDropComps.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "DeliveryTestUtils.h"
#include "TestFolder.h"
#include "delivery/DragHook.h"
#include "delivery/Win2KUtils.h"
#include "delivery/fDragging.h"
#include "toolkit/Forms.h"

namespace {

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcA(h, m, w, l);
}

HWND MakeWindow(const char* className, int x, int y, int w, int h, DWORD exStyle = 0) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = className;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(exStyle, className, className, WS_POPUP, x, y, w, h, nullptr, nullptr,
                              wc.hInstance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
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

std::vector<std::string>* eventLog = nullptr;
void Log(const std::string& s) {
  if (eventLog) eventLog->push_back(s);
}

// The pointer's press activates the window beneath and lifts it over ordinary ones, so
// targets stay on top.
// A drop target that takes copies, may look at the data while hovering, and notes what
// the feedback window and the cursor look like while the drag runs.
struct TTarget : IDropTarget {
  bool askWhileHovering = false;
  int hoverBlockSize = -1;
  bool sawFeedbackWindow = false, windowAtPointer = false;
  int hiddenWhileHovering = -1;
  std::string dropped;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = (iid == IID_IUnknown || iid == IID_IDropTarget) ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    if (askWhileHovering) hoverBlockSize = static_cast<int>(Read(data, nullptr));
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL pt, DWORD* effect) override {
    if (HWND w = FindWindowA("TDragForm", "DragForm")) {
      sawFeedbackWindow = sawFeedbackWindow || IsWindowVisible(w);
      RECT r{};
      GetWindowRect(w, &r);
      windowAtPointer = windowAtPointer || (r.left == pt.x + 1 && r.top == pt.y + 1);
    }
    hiddenWhileHovering = DragCursorHideCount();
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    Read(data, &dropped);
    Log("target got " + dropped);
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  static size_t Read(IDataObject* data, std::string* path) {
    FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m{};
    if (data->GetData(&f, &m) != S_OK) return 0;
    size_t size = GlobalSize(m.hGlobal);
    if (path) {
      char name[MAX_PATH] = {};
      if (DragQueryFileA(static_cast<HDROP>(m.hGlobal), 0xFFFFFFFF, nullptr, 0) == 1)
        DragQueryFileA(static_cast<HDROP>(m.hGlobal), 0, name, MAX_PATH);
      *path = name;
    }
    ReleaseStgMedium(&m);
    return size;
  }
};

using TSpawn = int(WINAPI*)(char* const argv[], int wait);
TSpawn UnixSpawn() {
  return reinterpret_cast<TSpawn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
}

class DragService : public ::testing::Test {
 protected:
  TApplication app;
  std::vector<std::string> log;
  TComponent owner{nullptr};
  TDragService* service = Make<TDragService>(&owner);
  int endDrags = 0;
  std::string folderBefore;

  void SetUp() override {
    OleInitialize(nullptr);
    InitLayeredWindows();
    eventLog = &log;
    folderBefore = HookLibraryFolder();
    HookLibraryFolder() = BinDir();
    service->OnEndDrag = [this](TComponent*) { ++endDrags; };
    service->OnGetStrData = [this](void*, std::string& data, bool dropping, bool&) {
      log.push_back(std::string("owner asked, dropping ") + (dropping ? "true" : "false") +
                    ", cursor hidden " + std::to_string(DragCursorHideCount()) +
                    ", window shown " +
                    (IsWindowVisible(FindWindowA("TDragForm", "DragForm")) ? "yes" : "no"));
      if (dropping) data = "C:\\Temp\\vocalet.wav";
    };
  }
  void TearDown() override {
    HookLibraryFolder() = folderBefore;
    eventLog = nullptr;
    OleUninitialize();
  }

  // Presses the left button over (x0, y0), moves in steps to (x1, y1) and releases there,
  // in the background, while the drag's modal loop runs here.
  bool DragWithXPointer(int x0, int y0, int x1, int y1, const std::string& title) {
    TSpawn spawn = UnixSpawn();
    if (!spawn) return false;
    char sh[] = "sh", c[] = "-c", check[] = "command -v xdotool >/dev/null";
    char* probe[] = {sh, c, check, nullptr};
    if (spawn(probe, 1) != 0) return false;
    std::string script = "xdotool mousemove " + std::to_string(x0) + " " + std::to_string(y0) +
                         " mousedown 1; sleep 0.7";
    for (int i = 1; i <= 6; ++i)
      script += "; xdotool mousemove " + std::to_string(x0 + (x1 - x0) * i / 6) + " " +
                std::to_string(y0 + (y1 - y0) * i / 6) + "; sleep 0.25";
    script += "; xdotool mousemove " + std::to_string(x1 + 3) + " " + std::to_string(y1 + 2) +
              "; sleep 0.4; xdotool mouseup 1";
    char* argv[] = {sh, c, script.data(), nullptr};
    if (spawn(argv, 0) != 0) return false;
    Pump(400);  // the button is down when the drag starts
    service->StartDrag(title);
    Pump(300);
    return true;
  }
};

TEST(LayeredWindows, NeedMoreThan256Colours) {
  InitLayeredWindowsFor(8);
  EXPECT_FALSE(LayeredSupported());
  EXPECT_FALSE(SetLayeredAttributes(nullptr, 0, 0, 0));
  InitLayeredWindowsFor(16);
  EXPECT_TRUE(LayeredSupported());
  InitLayeredWindows();  // the virtual display has 24 bits
  EXPECT_TRUE(LayeredSupported());
  DoneLayeredWindows();
  EXPECT_FALSE(LayeredSupported());
}

TEST(DragCursor, HidesOnceAndASecondRestoreIsHarmless) {
  EXPECT_EQ(DragCursorHideCount(), 0);
  RestoreDragCursor();
  EXPECT_EQ(DragCursorHideCount(), 0);
  HideDragCursor();
  HideDragCursor();
  EXPECT_EQ(DragCursorHideCount(), 2);
  RestoreDragCursor();
  RestoreDragCursor();
  RestoreDragCursor();
  EXPECT_EQ(DragCursorHideCount(), 0);
}

TEST_F(DragService, WithoutTheHookLibraryNoDragTakesPlace) {
  TestFolder empty;
  HookLibraryFolder() = empty.Path();
  service->StartDrag("Vocalet message");
  EXPECT_EQ(endDrags, 0);
  EXPECT_EQ(DragCursorHideCount(), 0);
  EXPECT_EQ(service->DragForm(), nullptr);
  EXPECT_EQ(FindWindowA("TDragForm", "DragForm"), nullptr);
  EXPECT_FALSE(HookLoaded());
}

TEST_F(DragService, AScreenOf256ColoursUsesThePlainDragWithoutTheLibrary) {
  TestFolder empty;
  HookLibraryFolder() = empty.Path();
  InitLayeredWindowsFor(8);
  // No button is down: the drag ends at once, dropping on nothing.
  service->StartDrag("Vocalet message");
  EXPECT_EQ(endDrags, 1);
  EXPECT_EQ(DragCursorHideCount(), 0);
}

TEST_F(DragService, WithNoOwnerHandlerTheDragRunsAndEnds) {
  service->OnGetStrData = nullptr;
  service->DefaultDragEffects = true;
  service->StartDrag("Vocalet message");
  EXPECT_EQ(endDrags, 1);
}

TEST_F(DragService, AFeedbackDragOntoATargetHandsOverThePathAtTheDrop) {
  HWND ground = MakeWindow("DragGround", 0, 0, 700, 600);
  HWND targetWindow = MakeWindow("DropHere", 400, 300, 200, 200, WS_EX_TOPMOST);
  TTarget target;
  target.askWhileHovering = true;
  ASSERT_EQ(RegisterDragDrop(targetWindow, &target), S_OK);
  Pump(300);
  if (!DragWithXPointer(100, 100, 480, 380, "Vocalet message")) GTEST_SKIP() << "no xdotool";
  RevokeDragDrop(targetWindow);

  EXPECT_EQ(target.dropped, "C:\\Temp\\vocalet.wav");
  EXPECT_EQ(target.hoverBlockSize, 23) << "an empty list while hovering";
  EXPECT_TRUE(target.sawFeedbackWindow);
  EXPECT_TRUE(target.windowAtPointer) << "the hook keeps the window at the pointer";
  EXPECT_EQ(target.hiddenWhileHovering, 1);
  std::vector<std::string> expected{
      "owner asked, dropping false, cursor hidden 1, window shown yes",
      "owner asked, dropping true, cursor hidden 0, window shown no",
      "target got C:\\Temp\\vocalet.wav"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(endDrags, 1);
  EXPECT_EQ(DragCursorHideCount(), 0);
  EXPECT_EQ(service->DragForm(), nullptr);
  EXPECT_EQ(FindWindowA("TDragForm", "DragForm"), nullptr);
  EXPECT_FALSE(HookLoaded()) << "the library is loaded for one drag only";
  DestroyWindow(targetWindow);
  DestroyWindow(ground);
}

TEST_F(DragService, APlainDragShowsNoWindowAndKeepsTheCursor) {
  service->DefaultDragEffects = true;
  HWND ground = MakeWindow("DragGround", 0, 0, 700, 600);
  HWND targetWindow = MakeWindow("DropHere", 400, 300, 200, 200, WS_EX_TOPMOST);
  TTarget target;
  ASSERT_EQ(RegisterDragDrop(targetWindow, &target), S_OK);
  Pump(300);
  if (!DragWithXPointer(100, 100, 480, 380, "Vocalet message")) GTEST_SKIP() << "no xdotool";
  RevokeDragDrop(targetWindow);
  EXPECT_EQ(target.dropped, "C:\\Temp\\vocalet.wav");
  EXPECT_FALSE(target.sawFeedbackWindow);
  EXPECT_EQ(target.hiddenWhileHovering, 0);
  EXPECT_EQ(endDrags, 1);
  DestroyWindow(targetWindow);
  DestroyWindow(ground);
}

TEST_F(DragService, ADropOnNothingEndsTheDragWithoutAskingTheOwner) {
  HWND ground = MakeWindow("DragGround", 0, 0, 700, 600);
  Pump(300);
  if (!DragWithXPointer(100, 100, 300, 250, "Vocalet message")) GTEST_SKIP() << "no xdotool";
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(endDrags, 1);
  EXPECT_EQ(DragCursorHideCount(), 0);
  EXPECT_FALSE(HookLoaded());
  DestroyWindow(ground);
}

}  // namespace
