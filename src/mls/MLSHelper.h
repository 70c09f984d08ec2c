// The language menu: one item per language in a main-menu submenu and in a pop-up menu,
// only the languages that can be loaded shown, the current one checked. A window drops one
// onto itself, points it at its placeholders and re-applies its texts in OnLanguageChanged.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "mls/MLSLanguageCodes.h"
#include "toolkit/Controls.h"
#include "toolkit/Menus.h"
#include "util/Handles.h"

class TMLSManager;

// The bitmap resource of the language-name pictures: a strip of MLSLanguageCount pictures
// side by side, picture i for language index i, magenta where the menu shows through.
inline constexpr const char* LanguageNamesResource = "MLS_LANGNAMES";
inline constexpr int LanguagePictureWidth = 60;
inline constexpr int LanguagePictureHeight = 13;
inline constexpr COLORREF LanguagePictureTransparent = RGB(255, 0, 255);

// Picture `index` cut out of the strip's pixels (0x00RRGGBB, rows top-down, `stripWidth`
// wide), with the transparent colour replaced by `background`; rows top-down, 0x00RRGGBB.
std::vector<std::uint32_t> LanguagePicturePixels(const std::vector<std::uint32_t>& strip,
                                                 int stripWidth, int index,
                                                 std::uint32_t background);

class TMLSHelper : public TComponent {
 public:
  // The items are created now, owned by `owner` (the window), invisible until the first
  // language change; the helper listens to the program-wide manager, or to `manager`.
  explicit TMLSHelper(TComponent* owner);
  TMLSHelper(TComponent* owner, TMLSManager& manager);
  ~TMLSHelper() override;

  bool ShowMenuImages() const { return showMenuImages_; }
  void SetShowMenuImages(bool on);

  // Placeholders: the placeholder is hidden and the language items follow it in its parent,
  // in its group; it must already sit in its menu. Null takes the items out again (the
  // placeholder stays hidden).
  TMenuItem* MainMenuItem() const { return mainPlaceholder_; }
  void SetMainMenuItem(TMenuItem* placeholder);
  TMenuItem* PopupMenuItem() const { return popupPlaceholder_; }
  void SetPopupMenuItem(TMenuItem* placeholder);

  // Without a placeholder: the items go into `parent` from `position` on, in group
  // `groupIndex`; into a pop-up menu's top level likewise.
  void InsertMainItems(TMenuItem* parent, size_t position, int groupIndex = 0);
  void InsertPopupItems(TPopupMenu* menu, size_t position, int groupIndex = 0);

  // A click on this control opens the pop-up menu under it. The helper takes the control's
  // OnClick and gives it back empty when the control changes; it does not touch the control
  // when it goes itself, since the window may have freed the control first.
  TControl* PopupControl() const { return popupControl_; }
  void SetPopupControl(TControl* control);
  // Opens the pop-up menu at the bottom-left corner of the pop-up control.
  void ShowPopup(TComponent* sender);

  TNotifyEvent OnLanguageChanged;

  TMenuItem* MainItems(int index) const { return mainItems_[index]; }
  TMenuItem* PopupItems(int index) const { return popupItems_[index]; }
  // The picture of a language (null when the resource is missing); owned by the helper.
  HBITMAP LanguageImage(int index) const;

  // The click of a language item: the item's tag is the language, 0 the default one. A
  // language that fails to load leads back to the default language without a message.
  void LanguageItemClick(TComponent* sender);

 private:
  using TItems = std::array<TMenuItem*, MLSLanguageCount>;
  void CreateItems(TItems& items);
  void LoadLanguageImages();
  void PlaceItems(TItems& items, TMenuItem* parent, size_t position, int groupIndex);
  void RemoveItems(TItems& items);
  void ApplyImages(TItems& items);
  TPopupMenu* PopupMenu() const;
  void ManagerLanguageChanged();
  void UpdateMenus();

  TMLSManager& manager_;
  TItems mainItems_{};
  TItems popupItems_{};
  std::array<GdiObject, MLSLanguageCount> images_;
  bool showMenuImages_ = false;
  bool menusPrepared_ = false;
  TMenuItem* mainPlaceholder_ = nullptr;
  TMenuItem* popupPlaceholder_ = nullptr;
  TPopupMenu* popupMenu_ = nullptr;  // the menu holding the items when inserted without one
  TControl* popupControl_ = nullptr;
};
