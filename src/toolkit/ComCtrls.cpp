#include "toolkit/ComCtrls.h"

#include "toolkit/Forms.h"

namespace {
UINT NextButtonCommand() {
  static UINT next = 40000;  // apart from menu commands
  return next++;
}
}  // namespace

TToolButton::TToolButton(TComponent* owner, TToolBar* bar, bool separator)
    : TComponent(owner), bar_(bar), separator_(separator), command_(NextButtonCommand()) {}

void TToolButton::SetCaption(const std::string& text) {
  caption_ = text;
  // Captions change the button's size: the bar is built again.
  if (bar_) bar_->Rebuild();
}

void TToolButton::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (bar_) bar_->UpdateButton(this);
}

void TToolButton::SetVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  if (bar_) bar_->UpdateButton(this);
}

RECT TToolButton::BoundsRect() const {
  RECT r{0, 0, 0, 0};
  if (bar_ && bar_->HandleAllocated()) {
    LRESULT index = SendMessageA(bar_->Handle(), TB_COMMANDTOINDEX, command_, 0);
    SendMessageA(bar_->Handle(), TB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&r));
  }
  return r;
}

POINT TToolButton::ClientToScreen(POINT p) const {
  RECT r = BoundsRect();
  POINT q{r.left + p.x, r.top + p.y};
  if (bar_ && bar_->HandleAllocated()) ::ClientToScreen(bar_->Handle(), &q);
  return q;
}

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 40); }

TToolBar::~TToolBar() {
  for (TToolButton* b : buttons_) b->bar_ = nullptr;
}

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
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN |
            TBSTYLE_TOOLTIPS | (flat_ ? TBSTYLE_FLAT : 0) |
            (transparent_ ? TBSTYLE_TRANSPARENT : 0);
  if (visible_) p.Style |= WS_VISIBLE;
}

LRESULT TToolBar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND && EraseBackground(reinterpret_cast<HDC>(wp))) return 1;
  return TWinControl::WndProc(msg, wp, lp);
}

void TToolBar::HandleCreated() {
  SendMessageA(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  Rebuild();
}

void TToolBar::SetImages(HIMAGELIST normal, HIMAGELIST disabled, HIMAGELIST hot) {
  normal_ = normal;
  disabled_ = disabled;
  hot_ = hot;
  if (HandleAllocated()) Rebuild();
}

void TToolBar::Rebuild() {
  if (!hwnd_) return;
  while (SendMessageA(hwnd_, TB_BUTTONCOUNT, 0, 0) > 0) SendMessageA(hwnd_, TB_DELETEBUTTON, 0, 0);
  SendMessageA(hwnd_, TB_SETBITMAPSIZE, 0, MAKELPARAM(ImageSize.cx, ImageSize.cy));
  SendMessageA(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normal_));
  SendMessageA(hwnd_, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabled_));
  SendMessageA(hwnd_, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hot_ ? hot_ : normal_));
  for (TToolButton* b : buttons_) {
    TBBUTTON tb{};
    tb.idCommand = static_cast<int>(b->command_);
    if (b->separator_) {
      tb.fsStyle = BTNS_SEP;
      tb.iBitmap = 8;
    } else {
      tb.iBitmap = b->ImageIndex;
      tb.fsStyle = BTNS_BUTTON;
      tb.iString = ShowCaptions ? reinterpret_cast<INT_PTR>(b->caption_.c_str()) : -1;
    }
    tb.fsState = static_cast<BYTE>((b->enabled_ ? TBSTATE_ENABLED : 0) |
                                   (b->visible_ ? 0 : TBSTATE_HIDDEN));
    SendMessageA(hwnd_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&tb));
  }
  SendMessageA(hwnd_, TB_SETBUTTONSIZE, 0, MAKELPARAM(ButtonSize.cx, ButtonSize.cy));
  SendMessageA(hwnd_, TB_SETBUTTONWIDTH, 0, MAKELPARAM(ButtonSize.cx, ButtonSize.cx));
  SendMessageA(hwnd_, TB_AUTOSIZE, 0, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TToolBar::UpdateButton(TToolButton* b) {
  if (!hwnd_) return;
  SendMessageA(hwnd_, TB_ENABLEBUTTON, b->command_, MAKELPARAM(b->enabled_ ? TRUE : FALSE, 0));
  SendMessageA(hwnd_, TB_HIDEBUTTON, b->command_, MAKELPARAM(b->visible_ ? FALSE : TRUE, 0));
}

TToolButton* TToolBar::AddButton(const std::string& name, int imageIndex) {
  auto* b = Make<TToolButton>(this, this, false);
  b->Name = name;
  b->ImageIndex = imageIndex;
  buttons_.push_back(b);
  Rebuild();
  return b;
}

TToolButton* TToolBar::AddSeparator(const std::string& name) {
  auto* b = Make<TToolButton>(this, this, true);
  b->Name = name;
  buttons_.push_back(b);
  Rebuild();
  return b;
}

bool TToolBar::CommandNotify(WORD, WORD id) {
  for (TToolButton* b : buttons_) {
    if (b->command_ == id) {
      if (b->enabled_ && b->OnClick) b->OnClick(b);
      return true;
    }
  }
  return false;
}

bool TToolBar::Notify(NMHDR* hdr, LRESULT&) {
  if (hdr->code == TTN_GETDISPINFOA) {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(hdr);
    for (TToolButton* b : buttons_)
      if (b->command_ == hdr->idFrom) info->lpszText = const_cast<char*>(b->Hint.c_str());
    return true;
  }
  return false;
}

HIMAGELIST ImageListFromResource(const std::string& name, int width, COLORREF mask) {
  return ImageList_LoadImageA(ModuleInstance(), name.c_str(), width, 1, mask, IMAGE_BITMAP,
                              LR_CREATEDIBSECTION);
}
