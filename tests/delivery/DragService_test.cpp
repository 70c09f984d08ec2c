// The drag service and the Drag & Attach window under Wine. A drag started with no button
// down drops at once wherever the pointer is; one that needs the button held is driven by
// the X pointer of the virtual display (xdotool).
#include "delivery/DragDropComps.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include "DeliveryTestUtils.h"
#include "TestFolder.h"
#include "delivery/DragHook.h"
#include "delivery/Win2KUtils.h"
#include "delivery/fDragSource.h"
#include "delivery/fDragging.h"

namespace {

const char kPath[] = "C:\\Temp\\vocalet.wav";
std::vector<std::string> events;

// What the drag looks like right now.
std::string Seen() {
  return "cursor hidden " + std::to_string(DragCursorHideCount()) + ", window shown " +
         (IsWindowVisible(FindWindowA("TDragForm", "DragForm")) ? "yes" : "no");
}

// The first path of the data object's list, "<failed>" when it gives none.
std::string Read(IDataObject* data, size_t* blockSize = nullptr) {
  FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM m{};
  if (data->GetData(&f, &m) != S_OK) return "<failed>";
  if (blockSize) *blockSize = GlobalSize(m.hGlobal);
  char name[MAX_PATH] = {};
  DragQueryFileA(static_cast<HDROP>(m.hGlobal), 0, name, MAX_PATH);
  ReleaseStgMedium(&m);
  return name;
}

// A topmost drop target that takes copies or refuses them, may look at the data while the
// pointer hovers, and keeps the data object as some mail programs do.
struct TTarget : IDropTarget {
  bool askWhileHovering = false, refuse = false, windowAtPointer = false;
  IDataObject* kept = nullptr;
  size_t hoverBlockSize = 0;
  std::string dropped = "<no drop>", hovering;
  HWND window = MakeWindow("DropHere", "DropHere", 400, 300, 200, 200, WS_EX_TOPMOST);

  TTarget() { EXPECT_EQ(RegisterDragDrop(window, this), S_OK); }
  ~TTarget() {
    RevokeDragDrop(window);
    DestroyWindow(window);
    if (kept) kept->Release();
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = (iid == IID_IUnknown || iid == IID_IDropTarget) ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL pt, DWORD* effect) override {
    if (!kept) (kept = data)->AddRef();
    if (askWhileHovering) Read(data, &hoverBlockSize);
    return DragOver(0, pt, effect);
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL pt, DWORD* effect) override {
    hovering = Seen();
    RECT r{};
    GetWindowRect(FindWindowA("TDragForm", "DragForm"), &r);
    windowAtPointer = windowAtPointer || (r.left == pt.x + 1 && r.top == pt.y + 1);
    *effect = refuse ? DROPEFFECT_NONE : DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    events.push_back("target got " + (dropped = Read(data)));
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
};

class DragService : public ::testing::Test {
 protected:
  TApplication app;
  TComponent owner{nullptr};
  TDragService* service = Make<TDragService>(&owner);
  int endDrags = 0;
  std::string folderBefore = HookLibraryFolder();
  HWND ground = nullptr;

  void SetUp() override {
    OleInitialize(nullptr);
    InitLayeredWindows();
    events.clear();
    HookLibraryFolder() = BinDir();
    service->OnEndDrag = [this](TComponent*) { ++endDrags; };
    service->OnGetStrData = [](void*, std::string& data, bool dropping, bool&) {
      events.push_back(std::string(dropping ? "drop" : "hover") + " asked, " + Seen());
      if (dropping) data = kPath;
    };
  }
  void TearDown() override {
    HookLibraryFolder() = folderBefore;
    if (ground) DestroyWindow(ground);
    OleUninitialize();
  }
  // Puts the X pointer at (x, y) over a ground window of ours, where X reports its motion.
  void PointAt(int x, int y) {
    if (!ground) ground = MakeWindow("DragGround", "DragGround", 0, 0, 700, 600);
    Pump(300);
    ASSERT_TRUE(RunUnix("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y)))
        << "xdotool failed (tools/install-deps.sh)";
    Pump(300);
  }
};

// The system's display counter of the cursor.
int CursorCount() {
  const int count = ShowCursor(TRUE);
  ShowCursor(FALSE);
  return count - 1;
}

TEST(DragCursor, HidesTheCursorOnceAndASecondRestoreIsHarmless) {
  const int shown = CursorCount();
  RestoreDragCursor();
  EXPECT_EQ(CursorCount(), shown);
  HideDragCursor();
  HideDragCursor();
  EXPECT_EQ(CursorCount(), shown - 1);
  RestoreDragCursor();
  EXPECT_EQ(CursorCount(), shown - 1) << "hidden twice, restored once";
  RestoreDragCursor();
  RestoreDragCursor();
  EXPECT_EQ(CursorCount(), shown);
  EXPECT_EQ(DragCursorHideCount(), 0);
}

TEST_F(DragService, TheFeedbackPictureSwapsOnlyWhenTheDropPossibilityChanges) {
  TDragForm form(nullptr);
  form.LTitle->SetCaption("Vocalet message");
  ASSERT_TRUE(form.StartFeedback());
  TBitmap& shown = form.imgIcon->Picture();
  EXPECT_EQ(shown.Width(), 54) << "the no-drop picture first";
  EXPECT_EQ(shown.Pixel(53, 0), RGB(0, 0, 255)) << "keyed background";
  EXPECT_TRUE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  RECT r{};
  GetWindowRect(form.Handle(), &r);
  EXPECT_EQ(r.bottom - r.top, 50);
  EXPECT_EQ(r.right - r.left, form.LTitle->Left() + form.LTitle->Width());
  // A mark on the picture shown stays until a picture is copied over it.
  auto mark = [&] { SetPixel(shown.DC(), 0, 0, RGB(1, 2, 3)); };
  auto swapped = [&] { return shown.Pixel(0, 0) != RGB(1, 2, 3); };
  mark();
  EXPECT_EQ(form.DragFeedback(nullptr, DROPEFFECT_NONE), S_OK);
  EXPECT_FALSE(swapped());
  for (DWORD effect : {DWORD(DROPEFFECT_COPY), DWORD(DROPEFFECT_MOVE), DWORD(DROPEFFECT_LINK)}) {
    SCOPED_TRACE(effect);
    EXPECT_EQ(form.DragFeedback(nullptr, effect), S_OK);
    EXPECT_TRUE(form.CanDrop());
    EXPECT_TRUE(swapped());
    EXPECT_EQ(shown.Height(), 45) << "the can-drop picture";
    mark();
    form.DragFeedback(nullptr, effect | DROPEFFECT_SCROLL);
    EXPECT_FALSE(swapped()) << "still possible";
    form.DragFeedback(nullptr, DROPEFFECT_SCROLL);
    EXPECT_FALSE(form.CanDrop()) << "scrolling alone drops nothing";
    EXPECT_TRUE(swapped());
  }
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
  EXPECT_EQ(FindWindowA("TDragForm", "DragForm"), nullptr);
  EXPECT_FALSE(HookLoaded());
}

// For the default effects, and on a screen of 256 colours, where it needs no library.
TEST_F(DragService, APlainDragShowsNoWindowAndKeepsTheCursor) {
  TestFolder empty;
  for (bool colours256 : {false, true}) {
    SCOPED_TRACE(colours256);
    service->DefaultDragEffects = !colours256;
    if (colours256) {
      HookLibraryFolder() = empty.Path();
      InitLayeredWindowsFor(8);
    }
    TTarget target;
    PointAt(480, 380);
    service->StartDrag("Vocalet message");
    EXPECT_EQ(target.dropped, kPath);
    EXPECT_EQ(target.hovering, "cursor hidden 0, window shown no");
    EXPECT_EQ(endDrags, colours256 ? 2 : 1);
  }
}

TEST_F(DragService, WithNoOwnerHandlerTheTargetGetsNoList) {
  service->OnGetStrData = nullptr;
  service->DefaultDragEffects = true;
  TTarget target;
  PointAt(480, 380);
  service->StartDrag("Vocalet message");
  EXPECT_EQ(target.dropped, "<failed>");
  EXPECT_EQ(endDrags, 1);
}

// The target keeps the data object and asks for it after the drag, when the drag's owner
// may be gone: the object fails and never asks it.
TEST_F(DragService, ADragEndingWithoutADropNeverAsksTheOwner) {
  TTarget target;
  target.refuse = true;
  PointAt(480, 380);
  service->StartDrag("Vocalet message");
  ASSERT_NE(target.kept, nullptr) << "the pointer never reached the target";
  EXPECT_EQ(target.dropped, "<no drop>");
  EXPECT_EQ(endDrags, 1);
  EXPECT_EQ(Seen(), "cursor hidden 0, window shown no");
  EXPECT_FALSE(HookLoaded());
  EXPECT_EQ(Read(target.kept), "<failed>");
  EXPECT_EQ(events, std::vector<std::string>{});
}

TEST(DragNAttachWindow, NeverOpensOffTheTopOrLeft) {
  const POINT p = DragNAttachPosition(POINT{100, 10}, 189);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
}

void CALLBACK PressEscape(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostMessageA(FindWindowA("TDragNAttachForm", nullptr), WM_KEYDOWN, VK_ESCAPE, 0);
}

// The whole drag with the feedback window, from Drag & Attach onto a target.
TEST_F(DragService, DragNAttachHandsThePathOverAfterPreparingFromAPressOnTheBareGradient) {
  RECT windowAtDrop{};
  auto prepare = [&] {
    events.push_back("prepared, " + Seen());
    GetWindowRect(FindWindowA("TDragNAttachForm", nullptr), &windowAtDrop);
  };
  TTarget target;
  target.askWhileHovering = true;
  PointAt(300, 120);
  // Once the window opened at the pointer: a press in the lower right corner of its client
  // area, where only the gradient lies, then steps to the target and the release there.
  std::string script = "sleep 1; xdotool mousemove 299 170 mousedown 1";
  for (int i = 1; i <= 6; ++i)
    script += "; sleep 0.25; xdotool mousemove " + std::to_string(299 + 181 * i / 6) + " " +
              std::to_string(170 + 210 * i / 6);
  ASSERT_TRUE(RunUnix(script + "; xdotool mousemove 483 382; sleep 0.4; xdotool mouseup 1",
                      false));
  // Without a drag the window would wait; a release gone astray would leave the drag on.
  const UINT_PTR guard = SetTimer(nullptr, 0, 15000, PressEscape);
  EXPECT_TRUE(ShowDragNAttach(kPath, prepare));
  KillTimer(nullptr, guard);
  EXPECT_EQ(target.hoverBlockSize, 23u) << "an empty list while hovering";
  EXPECT_EQ(target.hovering, "cursor hidden 1, window shown yes");
  EXPECT_TRUE(target.windowAtPointer) << "the hook keeps the window at the pointer";
  EXPECT_EQ(events, (std::vector<std::string>{"prepared, cursor hidden 0, window shown no",
                                              std::string("target got ") + kPath}));
  EXPECT_EQ(windowAtDrop.right, 305) << "5 pixels right of the pointer";
  EXPECT_EQ(windowAtDrop.top, 105);
  EXPECT_EQ(FindWindowA("TDragNAttachForm", nullptr), nullptr);
  EXPECT_EQ(Seen(), "cursor hidden 0, window shown no");
  EXPECT_FALSE(HookLoaded()) << "the library is loaded for one drag only";
  ASSERT_NE(target.kept, nullptr);
  EXPECT_EQ(Read(target.kept), kPath) << "the list that came at the drop, from now on";
  EXPECT_EQ(events.size(), 2u);
}

}  // namespace
