#include "delivery/DragHook.h"

#include <windows.h>

#include "ovhkDrag.h"
#include "util/Handles.h"
#include "util/ovUtils.h"

namespace {
ModuleHandle library;
TOvHkDragBegin beginHook = nullptr;
TOvHkDragEnd endHook = nullptr;
}  // namespace

std::string& HookLibraryFolder() {
  static std::string folder = ExpandPathMacros("<CommonFilesDir>\\Orvane");
  return folder;
}

bool LoadHookLibrary() {
  UnloadHookLibrary();
  ModuleHandle lib(LoadLibraryA(AddPath(HookLibraryFolder(), "ovhkDrag.dll").c_str()));
  if (!lib) return false;
  auto b = reinterpret_cast<TOvHkDragBegin>(
      reinterpret_cast<void*>(GetProcAddress(lib.get(), "ovHkDragBegin")));
  auto e = reinterpret_cast<TOvHkDragEnd>(
      reinterpret_cast<void*>(GetProcAddress(lib.get(), "ovHkDragEnd")));
  if (!b || !e) return false;  // released by lib
  library = std::move(lib);
  beginHook = b;
  endHook = e;
  return true;
}

bool HookLoaded() { return static_cast<bool>(library); }

void HookBegin(const std::string& className, const std::string& caption, int dx, int dy) {
  if (!beginHook) return;
  // The library takes at most 255 characters of each.
  beginHook(className.substr(0, 255).c_str(), caption.substr(0, 255).c_str(), dx, dy);
}

void HookEnd() {
  if (endHook) endHook();
}

void UnloadHookLibrary() {
  beginHook = nullptr;
  endHook = nullptr;
  library.reset();
}
