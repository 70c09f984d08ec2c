// Menus: items with captions, shortcuts, check marks and pictures, built into Win32 menus.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/ShortCuts.h"

class TMenu;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& text);  // "-" makes a separator
  TShortCut ShortCut = scNone;
  void SetShortCut(TShortCut sc);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool Checked() const { return checked_; }
  void SetChecked(bool on);  // a radio item unchecks the others of its group
  bool Visible() const { return visible_; }
  void SetVisible(bool on);
  bool RadioItem = false;
  int GroupIndex = 0;
  HBITMAP Bitmap = nullptr;  // not owned; shown beside the caption
  std::string Hint;
  TNotifyEvent OnClick;

  void Add(TMenuItem* item);
  void Insert(size_t index, TMenuItem* item);
  void Remove(TMenuItem* item);
  size_t Count() const { return items_.size(); }
  TMenuItem* Items(size_t i) const { return items_[i]; }
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* Parent() const { return parent_; }
  UINT Command() const { return command_; }
  bool IsLine() const { return caption_ == "-"; }

  virtual void Click();

 private:
  friend class TMenu;
  void Changed(bool structure);
  TMenu* Root() const;
  std::string caption_;
  bool enabled_ = true, checked_ = false, visible_ = true;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item
  UINT command_;
  HMENU subMenu_ = nullptr;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  TMenuItem* Items() const { return root_; }
  HMENU Handle();
  // Builds the Win32 menu again from the items.
  void Rebuild();
  void UpdateItem(TMenuItem* item);
  TMenuItem* FindCommand(UINT command) const;
  TMenuItem* FindSubMenu(HMENU menu) const;
  // Runs the item with this shortcut (its parents' OnClick first); true when one ran.
  bool IsShortCut(TShortCut sc);
  bool DispatchCommand(UINT command);
  bool DispatchPopup(HMENU menu);

 protected:
  virtual bool IsPopup() const = 0;
  virtual void Attached() {}
  HMENU handle_ = nullptr;

 private:
  void Build(TMenuItem* item, HMENU into);
  void DestroyHandle();
  TMenuItem* root_;
};

class TMainMenu : public TMenu {
 public:
  using TMenu::TMenu;
  HWND Window = nullptr;  // the form it is attached to

 protected:
  bool IsPopup() const override { return false; }
  void Attached() override;
};

class TPopupMenu : public TMenu {
 public:
  using TMenu::TMenu;
  // Shows the menu at a screen position and runs the chosen item.
  void Popup(int x, int y, HWND owner);
  TNotifyEvent OnPopup;

 protected:
  bool IsPopup() const override { return true; }
};

std::string MenuItemText(const TMenuItem& item);
