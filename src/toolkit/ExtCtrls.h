// Timers and hidden utility windows that receive messages for non-visual components.
#pragma once

#include <windows.h>

#include <functional>

#include "toolkit/Component.h"
#include "toolkit/Controls.h"

// A hidden top-level window whose messages go to a handler; the handler returns true when
// it answered a message (result in `result`), otherwise DefWindowProc answers.
class TUtilityWindow {
 public:
  using THandler = std::function<bool(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)>;
  explicit TUtilityWindow(THandler handler);
  ~TUtilityWindow();
  TUtilityWindow(const TUtilityWindow&) = delete;
  TUtilityWindow& operator=(const TUtilityWindow&) = delete;
  HWND Handle() const { return hwnd_; }
  void SetHandler(THandler handler) { handler_ = std::move(handler); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  THandler handler_;
  HWND hwnd_ = nullptr;
};

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  TNotifyEvent OnTimer;

 private:
  void Update();
  TUtilityWindow window_;
  unsigned interval_ = 1000;
  bool enabled_ = true;
};
