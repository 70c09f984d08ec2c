#include "toolkit/ExtCtrls.h"

#include "toolkit/Forms.h"

namespace {
const char kUtilityClass[] = "VocaletUtilityWindow";
}

TUtilityWindow::TUtilityWindow(THandler handler) : handler_(std::move(handler)) {
  RegisterOwnClass(kUtilityClass, 0, nullptr, DefWindowProcA);
  hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kUtilityClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                          nullptr, ModuleInstance(), nullptr);
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
  }
}

TUtilityWindow::~TUtilityWindow() {
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

LRESULT CALLBACK TUtilityWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self && self->handler_) {
    try {
      LRESULT result = 0;
      if (self->handler_(msg, wp, lp, result)) return result;
    } catch (const std::exception& e) {
      if (Application) Application->HandleException(&e);
      return 0;
    } catch (...) {
      if (Application) Application->HandleException(nullptr);
      return 0;
    }
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

TTimer::TTimer(TComponent* owner)
    : TComponent(owner), window_([this](UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != WM_TIMER) return false;
        if (enabled_ && OnTimer) OnTimer(this);
        result = 0;
        return true;
      }) {
  Update();
}

TTimer::~TTimer() {
  if (window_.Handle()) KillTimer(window_.Handle(), 1);
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Update();
}

void TTimer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  Update();
}

void TTimer::Update() {
  if (!window_.Handle()) return;
  KillTimer(window_.Handle(), 1);
  if (enabled_ && interval_ > 0) SetTimer(window_.Handle(), 1, interval_, nullptr);
}
