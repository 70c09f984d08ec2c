// Common controls: the toolbar.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "toolkit/Controls.h"

// The common-controls toolbar. Buttons are added through its window (TB_ADDBUTTONS); this
// wrapper keeps its flat and transparent looks and lets a subclass paint its background.
class TToolBar : public TWinControl {
 public:
  explicit TToolBar(TComponent* owner);
  bool Flat() const { return flat_; }
  void SetFlat(bool on);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // WM_ERASEBKGND; true when the background was drawn. The default leaves it to the toolbar.
  virtual bool EraseBackground(HDC /*dc*/) { return false; }

 private:
  void Recreate();
  bool flat_ = false;
  bool transparent_ = false;
};
