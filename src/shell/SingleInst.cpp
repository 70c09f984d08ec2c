#include "shell/SingleInst.h"

#include <shellapi.h>

#include "toolkit/Forms.h"

const char SingleInstanceClassName[] = "SingleInstanceManagerWindow";

namespace {
const char kSelfProp[] = "SingleInstanceManager";

void RegisterManagerClass() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing{};
  if (GetClassInfoA(instance, SingleInstanceClassName, &existing)) {
    if (existing.lpfnWndProc == DefWindowProcA) return;
    UnregisterClassA(SingleInstanceClassName, instance);
  }
  WNDCLASSA wc{};
  wc.style = 0;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = SingleInstanceClassName;
  RegisterClassA(&wc);
}
}  // namespace

std::vector<std::string> CommandLineParams() {
  // The wide command line is split the way the C runtime splits it, then each argument is
  // brought to the ANSI code page the rest of the program uses.
  std::vector<std::string> params;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return params;
  for (int i = 1; i < argc; ++i) {
    int n = WideCharToMultiByte(CP_ACP, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_ACP, 0, argv[i], -1, s.data(), n, nullptr, nullptr);
    params.push_back(s);
  }
  LocalFree(argv);
  return params;
}

bool NotifyPreviousInstance(const std::string& programID, const std::vector<std::string>& params) {
  HWND target = FindWindowA(SingleInstanceClassName, programID.c_str());
  if (!target) return false;
  PostMessageA(target, SIM_BEGIN, 0, 0);
  for (const std::string& p : params) {
    // A text longer than an atom allows gives atom 0; the receiver then stores "".
    ATOM atom = GlobalAddAtomA(p.c_str());
    PostMessageA(target, SIM_PARAM, 0, static_cast<LPARAM>(atom));
  }
  PostMessageA(target, SIM_END, 0, 0);
  return true;
}

bool NotifyPreviousInstance(const std::string& programID) {
  return NotifyPreviousInstance(programID, CommandLineParams());
}

TSingleInstanceManager::TSingleInstanceManager(TComponent* owner) : TComponent(owner) {
  RegisterManagerClass();
  handle_ = CreateWindowExA(WS_EX_TOOLWINDOW, SingleInstanceClassName, "",
                            WS_POPUP | WS_CAPTION, 0, 0, 0, 0, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  if (handle_) {
    SetPropA(handle_, kSelfProp, this);
    SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
  }
}

TSingleInstanceManager::~TSingleInstanceManager() {
  if (handle_) {
    RemovePropA(handle_, kSelfProp);
    DestroyWindow(handle_);
  }
}

void TSingleInstanceManager::SetProgramID(const std::string& id) {
  programID_ = id;
  if (handle_) SetWindowTextA(handle_, id.c_str());
}

LRESULT CALLBACK TSingleInstanceManager::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<TSingleInstanceManager*>(GetPropA(hwnd, kSelfProp));
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (const std::exception& e) {
    if (Application) Application->HandleException(&e);
  }
  return 1;
}

LRESULT TSingleInstanceManager::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case SIM_BEGIN:
      Params.clear();
      return 1;
    case SIM_PARAM: {
      char buf[256] = {};
      ATOM atom = static_cast<ATOM>(lp);
      if (GlobalGetAtomNameA(atom, buf, 256) != 0) {
        GlobalDeleteAtom(atom);
        Params.emplace_back(buf);
      } else {
        Params.emplace_back();
      }
      return 1;
    }
    case SIM_END:
      if (OnStartRequest) OnStartRequest(this);
      return 1;
    default:
      return DefWindowProcA(handle_, msg, wp, lp);
  }
}
