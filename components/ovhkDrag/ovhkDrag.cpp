#include "ovhkDrag.h"

#include <string>

namespace {

// One drag at a time per process; touched only on the thread that began it, which is
// also where the low-level hook runs.
struct TFollowState {
  HHOOK hook = nullptr;
  std::string className, caption;
  bool anyClass = true, anyCaption = true;
  HWND window = nullptr;
  int dx = 0, dy = 0;
};
TFollowState state;
HINSTANCE self = nullptr;

HWND TargetWindow() {
  if (!state.window || !IsWindow(state.window))
    state.window = FindWindowA(state.anyClass ? nullptr : state.className.c_str(),
                               state.anyCaption ? nullptr : state.caption.c_str());
  return state.window;
}

void PlaceAt(POINT pt) {
  if (HWND w = TargetWindow())
    SetWindowPos(w, nullptr, pt.x + state.dx, pt.y + state.dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && wp == WM_MOUSEMOVE && state.hook)
    PlaceAt(reinterpret_cast<const MSLLHOOKSTRUCT*>(lp)->pt);
  // Never swallow input: the drag loop and the drop targets need every event.
  return CallNextHookEx(nullptr, code, wp, lp);
}

bool Unhook() {
  if (!state.hook) return false;
  UnhookWindowsHookEx(state.hook);
  state = TFollowState{};
  return true;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    self = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    // Unloaded without ovHkDragEnd: a hook left behind would call into freed code.
    Unhook();
  }
  return TRUE;
}

extern "C" BOOL WINAPI ovHkDragBegin(LPCSTR className, LPCSTR caption, int dx, int dy) {
  bool anyClass = !className || !*className, anyCaption = !caption || !*caption;
  // Naming no window at all would let FindWindow pick any window of the desktop.
  if (anyClass && anyCaption) {
    Unhook();
    return FALSE;
  }
  state.anyClass = anyClass;
  state.anyCaption = anyCaption;
  state.className = state.anyClass ? "" : className;
  state.caption = state.anyCaption ? "" : caption;
  state.dx = dx;
  state.dy = dy;
  state.window = nullptr;
  if (!state.hook) state.hook = SetWindowsHookExA(WH_MOUSE_LL, MouseProc, self, 0);
  POINT pt;
  if (GetCursorPos(&pt)) PlaceAt(pt);
  return state.hook != nullptr;
}

extern "C" BOOL WINAPI ovHkDragEnd() { return Unhook(); }
