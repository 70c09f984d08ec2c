#include "toolkit/Menus.h"

#include <algorithm>

namespace {
UINT NextCommand() {
  // Menu command identifiers stay clear of the dialog identifiers (IDOK...) and below the
  // system range.
  static UINT next = 1000;
  return next++;
}
}  // namespace

std::string MenuItemText(const TMenuItem& item) {
  std::string text = item.Caption();
  std::string sc = ShortCutToText(item.ShortCut);
  if (!sc.empty()) text += "\t" + sc;
  return text;
}

// --- TMenuItem ----------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NextCommand()) {}

TMenuItem::~TMenuItem() {
  if (parent_) parent_->Remove(this);
  for (TMenuItem* child : items_) child->parent_ = nullptr;
}

TMenu* TMenuItem::Root() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

void TMenuItem::Changed(bool structure) {
  TMenu* m = Root();
  if (!m) return;
  if (structure) {
    m->Rebuild();
  } else {
    m->UpdateItem(this);
  }
}

void TMenuItem::SetCaption(const std::string& text) {
  bool wasLine = IsLine();
  caption_ = text;
  Changed(wasLine != IsLine());
}

void TMenuItem::SetShortCut(TShortCut sc) {
  ShortCut = sc;
  Changed(false);
}

void TMenuItem::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  Changed(false);
}

void TMenuItem::SetChecked(bool on) {
  if (on == checked_) return;
  checked_ = on;
  if (on && RadioItem && parent_) {
    for (TMenuItem* sib : parent_->items_)
      if (sib != this && sib->RadioItem && sib->GroupIndex == GroupIndex && sib->checked_) {
        sib->checked_ = false;
        sib->Changed(false);
      }
  }
  Changed(false);
}

void TMenuItem::SetVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  Changed(true);
}

void TMenuItem::Add(TMenuItem* item) { Insert(items_.size(), item); }

void TMenuItem::Insert(size_t index, TMenuItem* item) {
  if (item->parent_) item->parent_->Remove(item);
  index = std::min(index, items_.size());
  items_.insert(items_.begin() + static_cast<long>(index), item);
  item->parent_ = this;
  Changed(true);
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  Changed(true);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

// --- TMenu --------------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner) {
  root_ = Make<TMenuItem>(this);
  root_->menu_ = this;
}

TMenu::~TMenu() {
  root_->menu_ = nullptr;
  DestroyHandle();
}

void TMenu::DestroyHandle() {
  if (handle_) DestroyMenu(handle_);
  handle_ = nullptr;
}

HMENU TMenu::Handle() {
  if (!handle_) Rebuild();
  return handle_;
}

static void FillInfo(TMenuItem* item, MENUITEMINFOA& mii, std::string& text) {
  mii = MENUITEMINFOA{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
  mii.wID = item->Command();
  if (item->IsLine()) {
    mii.fType = MFT_SEPARATOR;
    mii.fMask = MIIM_ID | MIIM_FTYPE;
    return;
  }
  mii.fType = item->RadioItem ? MFT_RADIOCHECK : MFT_STRING;
  mii.fState = (item->Enabled() ? MFS_ENABLED : MFS_GRAYED) |
               (item->Checked() ? MFS_CHECKED : MFS_UNCHECKED);
  text = MenuItemText(*item);
  mii.dwTypeData = text.data();
  if (item->Bitmap) {
    mii.fMask |= MIIM_BITMAP;
    mii.hbmpItem = item->Bitmap;
  }
}

void TMenu::Build(TMenuItem* item, HMENU into) {
  for (size_t i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    child->subMenu_ = nullptr;
    if (!child->Visible()) continue;
    MENUITEMINFOA mii;
    std::string text;
    FillInfo(child, mii, text);
    if (child->Count() > 0) {
      child->subMenu_ = CreatePopupMenu();
      Build(child, child->subMenu_);
      mii.fMask |= MIIM_SUBMENU;
      mii.hSubMenu = child->subMenu_;
    }
    InsertMenuItemA(into, GetMenuItemCount(into), TRUE, &mii);
  }
}

void TMenu::Rebuild() {
  HMENU old = handle_;
  handle_ = IsPopup() ? CreatePopupMenu() : CreateMenu();
  Build(root_, handle_);
  Attached();
  if (old) DestroyMenu(old);
}

void TMenu::UpdateItem(TMenuItem* item) {
  if (!handle_ || !item->Visible()) return;
  MENUITEMINFOA mii;
  std::string text;
  FillInfo(item, mii, text);
  SetMenuItemInfoA(handle_, item->Command(), FALSE, &mii);
  if (!IsPopup()) {
    if (auto* m = dynamic_cast<TMainMenu*>(this); m && m->Window) DrawMenuBar(m->Window);
  }
}

static TMenuItem* FindIn(TMenuItem* item, UINT command, HMENU sub) {
  for (size_t i = 0; i < item->Count(); ++i) {
    TMenuItem* c = item->Items(i);
    if (command && c->Command() == command) return c;
    if (TMenuItem* found = FindIn(c, command, sub)) return found;
  }
  return nullptr;
}

TMenuItem* TMenu::FindCommand(UINT command) const { return FindIn(root_, command, nullptr); }

TMenuItem* TMenu::FindSubMenu(HMENU menu) const {
  std::vector<TMenuItem*> stack{root_};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    for (size_t k = 0; k < i->Count(); ++k) {
      TMenuItem* c = i->Items(k);
      if (c->subMenu_ == menu && menu) return c;
      stack.push_back(c);
    }
  }
  return nullptr;
}

static TMenuItem* FindShortCut(TMenuItem* item, TShortCut sc) {
  for (size_t i = 0; i < item->Count(); ++i) {
    TMenuItem* c = item->Items(i);
    if (!c->Visible()) continue;
    if (c->ShortCut == sc && !c->IsLine()) return c;
    if (TMenuItem* found = FindShortCut(c, sc)) return found;
  }
  return nullptr;
}

bool TMenu::IsShortCut(TShortCut sc) {
  if (sc == scNone) return false;
  TMenuItem* item = FindShortCut(root_, sc);
  if (!item) return false;
  // The parents open first: their OnClick brings the item's state up to date.
  std::vector<TMenuItem*> chain;
  for (TMenuItem* p = item->Parent(); p && p != root_; p = p->Parent()) chain.push_back(p);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) (*it)->Click();
  if (!item->Enabled()) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = FindCommand(command);
  if (!item) return false;
  if (item->Enabled()) item->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU menu) {
  TMenuItem* item = FindSubMenu(menu);
  if (!item) return false;
  item->Click();
  return true;
}

void TMainMenu::Attached() {
  if (Window) {
    SetMenu(Window, handle_);
    DrawMenuBar(Window);
  }
}

void TPopupMenu::Popup(int x, int y, HWND owner) {
  if (OnPopup) OnPopup(this);
  Rebuild();
  UINT cmd = TrackPopupMenu(handle_, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY,
                            x, y, 0, owner, nullptr);
  if (cmd) DispatchCommand(cmd);
}
