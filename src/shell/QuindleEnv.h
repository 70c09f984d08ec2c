// The product family's menu items and about box: the View menu's tips item, the Help
// menu's tips, automatic-update and product-information items. The update option is kept
// and shown; the program never goes to the network for it.
#pragma once

#include <functional>
#include <string>

#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

class TQuindleEnv : public TComponent {
 public:
  explicit TQuindleEnv(TComponent* owner);

  std::string ProductName = "Quindle Vocalet";
  // Places the items: the view item before viewPlace, the help items into helpMenu before
  // helpPlace (the placeholders stay hidden).
  void InsertItems(TMenuItem* viewPlace, TMenuItem* helpPlace);
  void ApplyTexts();

  bool AutoUpdates() const { return autoUpdates_; }
  void SetAutoUpdates(bool on);
  void SetTipsShown(bool shown);
  void SetBannerExists(bool exists) { bannerExists_ = exists; }
  void SetViewMode(int mode);
  void ShowAbout(TForm* owner);

  std::function<void(TComponent* sender, int& viewMode)> OnInfoView;
  TNotifyEvent OnAutoUpdates;
  TNotifyEvent OnAfterAbout;

  TMenuItem* miViewTips = nullptr;
  TMenuItem* miHelpTips = nullptr;
  TMenuItem* miAutoUpdates = nullptr;
  TMenuItem* miHelpSep = nullptr;
  TMenuItem* miProductInfo = nullptr;

 private:
  void ToggleTips(TComponent* sender);
  bool autoUpdates_ = false;
  bool tipsShown_ = true;
  bool bannerExists_ = false;
};
