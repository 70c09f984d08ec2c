// The drag service and the Drag & Attach window under Wine: the layered-window probe, the
// cursor counter, and whole drags onto a drop target driven by the X pointer of the
// virtual display (xdotool).
#include "delivery/DragDropComps.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "DeliveryTestUtils.h"
#include "TestFolder.h"
#include "delivery/DragHook.h"
#include "delivery/Win2KUtils.h"
#include "delivery/fDragSource.h"
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
  bool keep = false;              // holds on to the data object, as some mail programs do
  IDataObject* kept = nullptr;
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
    if (keep && !kept) {
      kept = data;
      kept->AddRef();
    }
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
    if (!SpawnDrag(x0, y0, x1, y1, "")) return false;
    // The drag starts with the button down, as it would from a mouse-down handler.
    for (int i = 0; i < 300 && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000); ++i) Pump(10);
    service->StartDrag(title);
    Pump(300);
    return true;
  }

  // The shell script of such a drag, started in the background after `before`.
  static bool SpawnDrag(int x0, int y0, int x1, int y1, const std::string& before) {
    TSpawn spawn = UnixSpawn();
    if (!spawn) return false;
    char sh[] = "sh", c[] = "-c", check[] = "command -v xdotool >/dev/null";
    char* probe[] = {sh, c, check, nullptr};
    if (spawn(probe, 1) != 0) return false;
    std::string script = before + "xdotool mousemove " + std::to_string(x0) + " " +
                         std::to_string(y0) + " mousedown 1; sleep 0.7";
    for (int i = 1; i <= 6; ++i)
      script += "; xdotool mousemove " + std::to_string(x0 + (x1 - x0) * i / 6) + " " +
                std::to_string(y0 + (y1 - y0) * i / 6) + "; sleep 0.25";
    script += "; xdotool mousemove " + std::to_string(x1 + 3) + " " + std::to_string(y1 + 2) +
              "; sleep 0.4; xdotool mouseup 1";
    char* argv[] = {sh, c, script.data(), nullptr};
    return spawn(argv, 0) == 0;
  }
  static bool MovePointer(int x, int y) {
    TSpawn spawn = UnixSpawn();
    std::string script = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y);
    char sh[] = "sh", c[] = "-c";
    char* argv[] = {sh, c, script.data(), nullptr};
    return spawn && spawn(argv, 1) == 0;
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

TEST_F(DragService, TheFeedbackPictureSwapsOnlyWhenTheDropPossibilityChanges) {
  TDragForm form(nullptr);
  form.LTitle->SetCaption("Vocalet message");
  ASSERT_TRUE(form.StartFeedback());
  EXPECT_EQ(form.imgIcon->Width(), 54) << "the no-drop picture first";
  EXPECT_EQ(form.imgIcon->Height(), 50);
  RECT r{};
  GetWindowRect(form.Handle(), &r);
  EXPECT_EQ(r.bottom - r.top, 50);
  EXPECT_EQ(r.right - r.left, form.LTitle->Left() + form.LTitle->Width());
  EXPECT_TRUE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_EQ(form.imgIcon->Picture().Pixel(53, 0), RGB(0, 0, 255)) << "keyed background";

  EXPECT_EQ(form.DragFeedback(nullptr, DROPEFFECT_NONE), S_OK);
  EXPECT_FALSE(form.CanDrop());
  for (DWORD effect : {DWORD(DROPEFFECT_COPY), DWORD(DROPEFFECT_MOVE), DWORD(DROPEFFECT_LINK)}) {
    form.DragFeedback(nullptr, DROPEFFECT_NONE);
    EXPECT_EQ(form.DragFeedback(nullptr, effect), S_OK);
    EXPECT_TRUE(form.CanDrop()) << effect;
    EXPECT_EQ(form.imgIcon->Width(), 50);
    EXPECT_EQ(form.imgIcon->Height(), 45);
  }
  form.DragFeedback(nullptr, DROPEFFECT_SCROLL);
  EXPECT_FALSE(form.CanDrop()) << "scrolling alone drops nothing";
  GetWindowRect(form.Handle(), &r);
  EXPECT_EQ(r.bottom - r.top, 50) << "the window keeps its size";

  form.EndFeedback();
  EXPECT_FALSE(HookLoaded());
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  form.EndFeedback();  // again: harmless
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
  ASSERT_TRUE(DragWithXPointer(100, 100, 480, 380, "Vocalet message")) << "xdotool failed";
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
  ASSERT_TRUE(DragWithXPointer(100, 100, 480, 380, "Vocalet message")) << "xdotool failed";
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
  ASSERT_TRUE(DragWithXPointer(100, 100, 300, 250, "Vocalet message")) << "xdotool failed";
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(endDrags, 1);
  EXPECT_EQ(DragCursorHideCount(), 0);
  EXPECT_FALSE(HookLoaded());
  DestroyWindow(ground);
}

// A target that keeps the data object and asks for it after the drag: the drag's owner may
// be gone by then, so the object answers from what it has or fails, and never asks it.
TEST_F(DragService, ARequestAfterTheDragNeverReachesTheOwner) {
  HWND ground = MakeWindow("DragGround", 0, 0, 700, 600);
  HWND targetWindow = MakeWindow("DropHere", 400, 300, 200, 200, WS_EX_TOPMOST);
  TTarget target;
  target.keep = true;
  ASSERT_EQ(RegisterDragDrop(targetWindow, &target), S_OK);
  Pump(300);
  // Over the target, then released beside it: no drop, no list.
  ASSERT_TRUE(DragWithXPointer(100, 100, 650, 550, "Vocalet message")) << "xdotool failed";
  RevokeDragDrop(targetWindow);
  ASSERT_NE(target.kept, nullptr) << "the pointer never reached the target";
  EXPECT_EQ(endDrags, 1);
  log.clear();
  FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM m{};
  EXPECT_TRUE(FAILED(target.kept->GetData(&f, &m)));
  EXPECT_TRUE(log.empty()) << log.front();
  target.kept->Release();
  DestroyWindow(targetWindow);
  DestroyWindow(ground);
}

TEST_F(DragService, AfterADropTheDataObjectKeepsAnsweringWithThePath) {
  HWND ground = MakeWindow("DragGround", 0, 0, 700, 600);
  HWND targetWindow = MakeWindow("DropHere", 400, 300, 200, 200, WS_EX_TOPMOST);
  TTarget target;
  target.keep = true;
  ASSERT_EQ(RegisterDragDrop(targetWindow, &target), S_OK);
  Pump(300);
  ASSERT_TRUE(DragWithXPointer(100, 100, 480, 380, "Vocalet message")) << "xdotool failed";
  RevokeDragDrop(targetWindow);
  ASSERT_NE(target.kept, nullptr);
  ASSERT_EQ(target.dropped, "C:\\Temp\\vocalet.wav");
  log.clear();
  std::string path;
  TTarget::Read(target.kept, &path);
  EXPECT_EQ(path, "C:\\Temp\\vocalet.wav");
  EXPECT_TRUE(log.empty());
  target.kept->Release();
  DestroyWindow(targetWindow);
  DestroyWindow(ground);
}

// --- The Drag & Attach window ---------------------------------------------------------

TEST(DragNAttachWindow, OpensBesideThePointerButNeverOffTheTopOrLeft) {
  POINT p = DragNAttachPosition(POINT{300, 200}, 189);
  EXPECT_EQ(p.x, 116);
  EXPECT_EQ(p.y, 185);
  p = DragNAttachPosition(POINT{100, 10}, 189);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
}

void CALLBACK PressEscape(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostMessageA(FindWindowA("TDragNAttachForm", nullptr), WM_KEYDOWN, VK_ESCAPE, 0);
}

// The Escape key as the keyboard sends it, into the input queue of the active window.
void CALLBACK PressEscapeKey(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  INPUT keys[2]{};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

class DragNAttach : public DragService {
 protected:
  int prepared = 0;
  RECT windowAtDrop{};
  std::function<void()> Prepare() {
    return [this] {
      ++prepared;
      log.push_back("prepared");
      GetWindowRect(FindWindowA("TDragNAttachForm", nullptr), &windowAtDrop);
    };
  }
};

TEST_F(DragNAttach, ADropHandsThePathToTheTargetAfterThePreparation) {
  HWND ground = MakeWindow("DragGround", 0, 0, 700, 600);
  HWND targetWindow = MakeWindow("DropHere", 400, 300, 200, 200, WS_EX_TOPMOST);
  TTarget target;
  target.askWhileHovering = true;
  ASSERT_EQ(RegisterDragDrop(targetWindow, &target), S_OK);
  ASSERT_TRUE(MovePointer(300, 120)) << "xdotool failed";
  Pump(300);
  // Press inside the window, whose right edge lies 5 pixels right of the pointer.
  ASSERT_TRUE(SpawnDrag(300 - 80, 120 + 25, 480, 380, "sleep 1; "));
  bool dropped = ShowDragNAttach("C:\\Temp\\vocalet.wav", Prepare());
  RevokeDragDrop(targetWindow);
  EXPECT_TRUE(dropped);
  EXPECT_EQ(prepared, 1);
  EXPECT_EQ(target.hoverBlockSize, 23) << "hovering prepares nothing";
  EXPECT_EQ(log, (std::vector<std::string>{"prepared", "target got C:\\Temp\\vocalet.wav"}));
  EXPECT_EQ(windowAtDrop.right, 305);
  EXPECT_EQ(windowAtDrop.top, 105);
  EXPECT_EQ(FindWindowA("TDragNAttachForm", nullptr), nullptr);
  DestroyWindow(targetWindow);
  DestroyWindow(ground);
}

TEST_F(DragNAttach, APressOnTheBareGradientStartsTheDragToo) {
  HWND ground = MakeWindow("DragGround", 0, 0, 700, 600);
  HWND targetWindow = MakeWindow("DropHere", 400, 300, 200, 200, WS_EX_TOPMOST);
  TTarget target;
  ASSERT_EQ(RegisterDragDrop(targetWindow, &target), S_OK);
  ASSERT_TRUE(MovePointer(300, 120)) << "xdotool failed";
  Pump(300);
  // The lower right corner of the client area, right of the text and below it: only the
  // gradient lies there. Without a drag the window would wait; Escape, as the keyboard
  // gives it, ends that wait or a drag whose release went astray.
  ASSERT_TRUE(SpawnDrag(300 - 1, 120 + 50, 480, 380, "sleep 1; "));
  UINT_PTR guard = SetTimer(nullptr, 0, 15000, PressEscapeKey);
  bool dropped = ShowDragNAttach("C:\\Temp\\vocalet.wav", Prepare());
  KillTimer(nullptr, guard);
  RevokeDragDrop(targetWindow);
  EXPECT_TRUE(dropped);
  EXPECT_EQ(prepared, 1);
  DestroyWindow(targetWindow);
  DestroyWindow(ground);
}

TEST_F(DragNAttach, ADragReleasedOverNothingClosesWithFalse) {
  HWND ground = MakeWindow("DragGround", 0, 0, 700, 600);
  ASSERT_TRUE(MovePointer(300, 120)) << "xdotool failed";
  Pump(300);
  ASSERT_TRUE(SpawnDrag(300 - 80, 120 + 25, 350, 400, "sleep 1; "));
  EXPECT_FALSE(ShowDragNAttach("C:\\Temp\\vocalet.wav", Prepare()));
  EXPECT_EQ(prepared, 0);
  DestroyWindow(ground);
}

TEST_F(DragNAttach, EscapeDuringTheDragCancelsIt) {
  HWND ground = MakeWindow("DragGround", 0, 0, 700, 600);
  HWND targetWindow = MakeWindow("DropHere", 400, 300, 200, 200, WS_EX_TOPMOST);
  TTarget target;
  ASSERT_EQ(RegisterDragDrop(targetWindow, &target), S_OK);
  ASSERT_TRUE(MovePointer(300, 120)) << "xdotool failed";
  Pump(300);
  SetTimer(nullptr, 0, 2300, PressEscapeKey);  // while the pointer is over the target
  ASSERT_TRUE(SpawnDrag(300 - 80, 120 + 25, 480, 380, "sleep 1; "));
  EXPECT_FALSE(ShowDragNAttach("C:\\Temp\\vocalet.wav", Prepare()));
  Pump(1500);  // the rest of the pointer's script, which must not reach the next test
  RevokeDragDrop(targetWindow);
  EXPECT_EQ(prepared, 0);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(target.dropped, "");
  EXPECT_EQ(DragCursorHideCount(), 0);
  EXPECT_EQ(FindWindowA("TDragForm", "DragForm"), nullptr);
  DestroyWindow(targetWindow);
  DestroyWindow(ground);
}

TEST_F(DragNAttach, EscapeWhileWaitingClosesWithFalse) {
  SetTimer(nullptr, 0, 500, PressEscape);
  EXPECT_FALSE(ShowDragNAttach("C:\\Temp\\vocalet.wav", Prepare()));
  EXPECT_EQ(prepared, 0);
}

}  // namespace
