#include "toolkit/ComCtrls.h"

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {}

void TToolBar::SetFlat(bool on) {
  if (flat_ == on) return;
  flat_ = on;
  Recreate();
}

void TToolBar::SetTransparent(bool on) {
  if (transparent_ == on) return;
  transparent_ = on;
  Recreate();
}

// The toolbar reads its look from the style it was created with.
void TToolBar::Recreate() {
  if (!HandleAllocated()) return;
  DestroyHandle();
  Handle();
}

void TToolBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  p.ClassName = TOOLBARCLASSNAMEA;
  p.OwnClass = false;
  // Our bounds, not the toolbar's own placement along the parent's top edge.
  p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (flat_) p.Style |= TBSTYLE_FLAT;
  if (transparent_) p.Style |= TBSTYLE_TRANSPARENT;
}

void TToolBar::HandleCreated() {
  SendMessageA(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
}

LRESULT TToolBar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND && EraseBackground(reinterpret_cast<HDC>(wp))) return 1;
  return TWinControl::WndProc(msg, wp, lp);
}
