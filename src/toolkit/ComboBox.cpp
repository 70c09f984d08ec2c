#include "toolkit/ComboBox.h"

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
  Color = clWindow;
  SetBounds(0, 0, 145, 21);
}

void TComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = "COMBOBOX";
  p.OwnClass = false;
  p.Style = WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
  if (visible_) p.Style |= WS_VISIBLE;
  if (!enabled_) p.Style |= WS_DISABLED;
}

void TComboBox::HandleCreated() { FillWindow(); }

void TComboBox::FillWindow() {
  if (!hwnd_) return;
  SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items_)
    SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  SizeList();
}

void TComboBox::SizeList() {
  if (!hwnd_) return;
  // The window's height includes its opened list: the closed field keeps our height.
  const int rowHeight = static_cast<int>(SendMessageA(hwnd_, CB_GETITEMHEIGHT, 0, 0));
  SetWindowPos(hwnd_, nullptr, Left(), Top(), Width(), Height() + rowHeight * DropDownCount + 2,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TComboBox::SetBounds(int left, int top, int width, int height) {
  bounds_ = RECT{left, top, left + width, top + height};
  SizeList();
  BoundsChanged();
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
  items_ = items;
  itemIndex_ = -1;
  FillWindow();
}

int TComboBox::ItemIndex() {
  if (hwnd_) itemIndex_ = static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0));
  return itemIndex_;
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  itemIndex_ = index;
  if (hwnd_) SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string TComboBox::Text() {
  const int i = ItemIndex();
  return i >= 0 && i < static_cast<int>(items_.size()) ? items_[i] : std::string();
}

int TComboBox::IndexOf(const std::string& text) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == text) return static_cast<int>(i);
  return -1;
}

bool TComboBox::CommandNotify(WORD code, WORD /*id*/) {
  if (code != CBN_SELCHANGE) return false;
  ItemIndex();
  if (OnChange) OnChange(this);
  Click();
  return true;
}
