#include "toolkit/PageControl.h"

#include <commctrl.h>

#include <algorithm>

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {}

void TTabSheet::SetCaption(const std::string& text) {
  caption_ = text;  // a sheet's own window has no title to show
  if (pageControl_) pageControl_->RebuildTabs();
}

void TTabSheet::SetTabVisible(bool v) {
  tabVisible_ = v;
  if (pageControl_) pageControl_->RebuildTabs();
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 289, 193); }

void TPageControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  p.ClassName = WC_TABCONTROLA;
  p.OwnClass = false;
  p.Style = WS_CHILD | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (visible_) p.Style |= WS_VISIBLE;
  if (!enabled_) p.Style |= WS_DISABLED;
}

TTabSheet* TPageControl::AddPage(const std::string& caption) {
  TTabSheet* sheet = Make<TTabSheet>(Owner() ? Owner() : this);
  sheet->pageControl_ = this;
  sheet->caption_ = caption;
  sheet->SetVisible(false);
  sheet->SetParent(this);
  pages_.push_back(sheet);
  RebuildTabs();
  if (!active_) SetActivePage(sheet);
  PlaceSheets();
  return sheet;
}

void TPageControl::RebuildTabs() {
  if (!hwnd_) return;
  SendMessageA(hwnd_, TCM_DELETEALLITEMS, 0, 0);
  int index = 0;
  for (TTabSheet* sheet : pages_) {
    if (!sheet->tabVisible_) continue;
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    std::string text = sheet->Caption();
    item.pszText = text.data();
    SendMessageA(hwnd_, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    if (sheet == active_) SendMessageA(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ++index;
  }
  PlaceSheets();
}

void TPageControl::SetActivePage(TTabSheet* page) {
  active_ = page;
  for (TTabSheet* sheet : pages_) sheet->SetVisible(sheet == page);
  RebuildTabs();
}

RECT TPageControl::DisplayRect() {
  RECT r{0, 0, Width(), Height()};
  if (hwnd_) {
    GetClientRect(hwnd_, &r);
    SendMessageA(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  } else {
    InflateRect(&r, -4, -4);
    r.top += 20;
  }
  return r;
}

void TPageControl::PlaceSheets() {
  RECT r = DisplayRect();
  for (TTabSheet* sheet : pages_) sheet->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TPageControl::HandleCreated() { RebuildTabs(); }

void TPageControl::BoundsChanged() { PlaceSheets(); }

bool TPageControl::Notify(NMHDR* header, LRESULT& result) {
  if (header->code != static_cast<UINT>(TCN_SELCHANGE)) return false;
  const int selected = static_cast<int>(SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0));
  int index = 0;
  for (TTabSheet* sheet : pages_) {
    if (!sheet->tabVisible_) continue;
    if (index++ == selected) {
      SetActivePage(sheet);
      break;
    }
  }
  if (OnChange) OnChange(this);
  result = 0;
  return true;
}
