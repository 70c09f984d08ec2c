// The drag service and the Drag & Attach window under Wine. A drag started with no button
// down drops at once where the pointer is; one with the button held is driven by xdotool.
#include "delivery/DragDropComps.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include "DeliveryTestUtils.h"
#include "delivery/DragHook.h"
#include "delivery/Win2KUtils.h"
#include "delivery/fDragSource.h"
#include "delivery/fDragging.h"
#include "support/DropTarget.h"
#include "support/TestFolder.h"

namespace {

const char kPath[] = "C:\\Temp\\vocalet.wav";
std::vector<std::string> events;

// The system's display counter of the cursor.
int CursorCount() {
  const int count = ShowCursor(TRUE);
  ShowCursor(FALSE);
  return count - 1;
}

// What the drag looks like right now.
std::string Seen() {
  return "cursor hidden " + std::to_string(DragCursorHideCount()) + ", window shown " +
         (IsWindowVisible(FindWindowA("TDragForm", "DragForm")) ? "yes" : "no");
}

// The first path of the data object's list, "<failed>" when it gives none.
std::string Read(IDataObject* data) {
  std::vector<std::string> paths;
  if (!DroppedFiles(data, &paths)) return "<failed>";
  return paths.empty() ? "" : paths[0];
}

// A topmost drop target that takes copies or refuses them, and keeps the data object as
// some mail programs do.
struct TTarget : TDropTarget {
  bool refuse = false, windowAtPointer = false;
  IDataObject* kept = nullptr;
  std::string dropped = "<no drop>", hovering;
  HWND window = MakeWindow("DropHere", "DropHere", 400, 300, 200, 200, WS_EX_TOPMOST);

  TTarget() { EXPECT_EQ(RegisterDragDrop(window, this), S_OK); }
  ~TTarget() {
    RevokeDragDrop(window);
    DestroyWindow(window);
    if (kept) kept->Release();
  }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL pt, DWORD* effect) override {
    if (!kept) (kept = data)->AddRef();
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
      events.push_back("owner asked");
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
    ASSERT_TRUE(UnixShell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y)));
    Pump(300);
  }
};

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
  // Each effect after the one before; a mark on the picture shown stays until a picture is
  // copied over it.
  const std::pair<DWORD, bool> steps[] = {
      {DROPEFFECT_NONE, false}, {DROPEFFECT_COPY, true},
      {DROPEFFECT_COPY | DROPEFFECT_SCROLL, true}, {DROPEFFECT_SCROLL, false},
      {DROPEFFECT_MOVE, true}, {DROPEFFECT_NONE, false}, {DROPEFFECT_LINK, true}};
  bool before = false;
  for (const auto& [effect, canDrop] : steps) {
    SCOPED_TRACE(effect);
    SetPixel(shown.DC(), 0, 0, RGB(1, 2, 3));
    EXPECT_EQ(form.DragFeedback(nullptr, effect), S_OK);
    EXPECT_EQ(form.CanDrop(), canDrop);
    EXPECT_EQ(shown.Pixel(0, 0) != RGB(1, 2, 3), canDrop != before) << "swapped";
    EXPECT_EQ(shown.Height(), canDrop ? 45 : 50);
    before = canDrop;
  }
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
  EXPECT_EQ(Seen(), "cursor hidden 0, window shown no");
  EXPECT_FALSE(HookLoaded());
}

// The target keeps the data object and asks for it after the drag, when the drag's owner
// may be gone: the object fails and never asks it.
TEST_F(DragService, ADragEndingWithoutADropNeverAsksTheOwner) {
  TTarget target;
  target.refuse = true;
  PointAt(480, 380);
  const int cursor = CursorCount();
  service->StartDrag("Vocalet message");
  EXPECT_EQ(CursorCount(), cursor);
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

// The whole drag with the feedback window, from Drag & Attach onto a target (what the
// target gets is checked end to end, e2e Attach).
TEST_F(DragService, DragNAttachPreparesWithTheCursorBackAndTheDataOutlivesTheDrag) {
  RECT windowAtDrop{};
  auto prepare = [&] {
    events.push_back("prepared, " + Seen());
    GetWindowRect(FindWindowA("TDragNAttachForm", nullptr), &windowAtDrop);
  };
  TTarget target;
  PointAt(300, 120);
  // Once the window opened at the pointer: a press in the lower right corner of its client
  // area, where only the gradient lies, then steps to the target and the release there.
  std::string script = "sleep 1; xdotool mousemove 299 170 mousedown 1";
  for (int i = 1; i <= 6; ++i)
    script += "; sleep 0.25; xdotool mousemove " + std::to_string(299 + 181 * i / 6) + " " +
              std::to_string(170 + 210 * i / 6);
  ASSERT_TRUE(UnixShell(script + "; xdotool mousemove 483 382; sleep 0.4; xdotool mouseup 1",
                      false));
  // Without a drag the window would wait; a release gone astray would leave the drag on.
  const UINT_PTR guard = SetTimer(nullptr, 0, 15000, PressEscape);
  const int cursor = CursorCount();
  EXPECT_TRUE(ShowDragNAttach(kPath, prepare));
  KillTimer(nullptr, guard);
  EXPECT_EQ(CursorCount(), cursor) << "shown again once";
  EXPECT_EQ(target.hovering, "cursor hidden 1, window shown yes");
  EXPECT_TRUE(target.windowAtPointer) << "the hook keeps the window at the pointer";
  EXPECT_EQ(events, (std::vector<std::string>{"prepared, cursor hidden 0, window shown no",
                                              std::string("target got ") + kPath}));
  EXPECT_EQ(windowAtDrop.right, 305) << "5 pixels right of the pointer";
  EXPECT_EQ(windowAtDrop.top, 105);
  EXPECT_EQ(Seen(), "cursor hidden 0, window shown no");
  EXPECT_FALSE(HookLoaded()) << "the library is loaded for one drag only";
  ASSERT_NE(target.kept, nullptr);
  EXPECT_EQ(Read(target.kept), kPath) << "the list that came at the drop, from now on";
  EXPECT_EQ(events.size(), 2u);
}

}  // namespace
