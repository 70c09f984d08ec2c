#include "mls/MLSHelper.h"

#include "mls/MLSLanguages.h"
#include "mls/ovMLS.h"

namespace {

// Identifies the helper's handler among the clients of the manager.
constexpr int ManagerHandlerId = 0x4d4c5348;  // "MLSH"

std::uint32_t Rgb(COLORREF c) {
  return static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

// The top item of the menu that holds `item`; its owner is the menu itself.
TMenu* MenuOf(TMenuItem* item) {
  while (item && item->Parent()) item = item->Parent();
  return item ? dynamic_cast<TMenu*>(item->Owner()) : nullptr;
}

}  // namespace

std::vector<std::uint32_t> LanguagePicturePixels(const std::vector<std::uint32_t>& strip,
                                                 int stripWidth, int index,
                                                 std::uint32_t background) {
  std::vector<std::uint32_t> out(LanguagePictureWidth * LanguagePictureHeight, background);
  const std::uint32_t transparent = Rgb(LanguagePictureTransparent);
  const int left = index * LanguagePictureWidth;
  for (int y = 0; y < LanguagePictureHeight; ++y) {
    for (int x = 0; x < LanguagePictureWidth; ++x) {
      const size_t from = static_cast<size_t>(y) * stripWidth + left + x;
      if (left + x >= stripWidth || from >= strip.size()) continue;
      const std::uint32_t pixel = strip[from] & 0xFFFFFF;
      if (pixel != transparent) out[y * LanguagePictureWidth + x] = pixel;
    }
  }
  return out;
}

TMLSHelper::TMLSHelper(TComponent* owner) : TMLSHelper(owner, *MLSManager) {}

TMLSHelper::TMLSHelper(TComponent* owner, TMLSManager& manager)
    : TComponent(owner), manager_(manager) {
  LoadLanguageImages();
  CreateItems(mainItems_);
  CreateItems(popupItems_);
  manager_.RegisterClient(this, [this](TMLSManager*) { ManagerLanguageChanged(); },
                          ManagerHandlerId);
}

TMLSHelper::~TMLSHelper() { manager_.UnregisterClient(this, ManagerHandlerId); }

void TMLSHelper::CreateItems(TItems& items) {
  // The owner frees the items: they live as long as the window whose menus hold them.
  TComponent* owner = Owner() ? Owner() : this;
  for (int i = 0; i < MLSLanguageCount; ++i) {
    TMenuItem* item = Make<TMenuItem>(owner);
    item->SetCaption(LanguageNames[i].empty() ? LanguageCode(i) : LanguageNames[i]);
    item->RadioItem = true;
    item->Tag = i;
    item->OnClick = [this](TComponent* sender) { LanguageItemClick(sender); };
    item->SetVisible(false);
    items[i] = item;
  }
}

void TMLSHelper::LoadLanguageImages() {
  // The strip is read as 32-bit pixels and cut into one 24-bit picture per language with the
  // menu colour behind the names: menu items take a plain bitmap, and a 32-bit one would be
  // taken as alpha-blended.
  GdiObject strip(LoadImageA(ModuleInstance(), LanguageNamesResource, IMAGE_BITMAP, 0, 0,
                             LR_CREATEDIBSECTION));
  if (!strip) return;
  BITMAP bm{};
  GetObjectA(strip.get(), sizeof bm, &bm);
  const int width = bm.bmWidth, height = bm.bmHeight;
  if (height < LanguagePictureHeight) return;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, static_cast<HBITMAP>(strip.get()), 0, height,
                             pixels.data(), &bi, DIB_RGB_COLORS);
  if (rows == height) {
    const std::uint32_t background = Rgb(GetSysColor(COLOR_MENU));
    for (int i = 0; i < MLSLanguageCount; ++i) {
      const auto picture = LanguagePicturePixels(pixels, width, i, background);
      BITMAPINFO pi{};
      pi.bmiHeader = bi.bmiHeader;
      pi.bmiHeader.biWidth = LanguagePictureWidth;
      pi.bmiHeader.biHeight = -LanguagePictureHeight;
      pi.bmiHeader.biBitCount = 24;
      void* bits = nullptr;
      GdiObject image(CreateDIBSection(screen, &pi, DIB_RGB_COLORS, &bits, nullptr, 0));
      if (!image || !bits) continue;
      // 60 pixels of 3 bytes: rows need no padding to their 4-byte boundary.
      auto* out = static_cast<unsigned char*>(bits);
      for (std::uint32_t p : picture) {
        *out++ = static_cast<unsigned char>(p);
        *out++ = static_cast<unsigned char>(p >> 8);
        *out++ = static_cast<unsigned char>(p >> 16);
      }
      images_[i] = std::move(image);
    }
  }
  ReleaseDC(nullptr, screen);
}

HBITMAP TMLSHelper::LanguageImage(int index) const {
  return index >= 0 && index < MLSLanguageCount ? static_cast<HBITMAP>(images_[index].get())
                                                 : nullptr;
}

void TMLSHelper::ApplyImages(TItems& items) {
  for (int i = 0; i < MLSLanguageCount; ++i) {
    items[i]->Bitmap = showMenuImages_ ? LanguageImage(i) : nullptr;
  }
  // One structural change rebuilds the Win32 menu with the new pictures.
  if (TMenuItem* parent = items[0]->Parent()) {
    parent->Remove(items[0]);
    parent->Insert(static_cast<size_t>(parent->IndexOf(items[1])), items[0]);
  }
}

void TMLSHelper::SetShowMenuImages(bool on) {
  if (on == showMenuImages_) return;
  showMenuImages_ = on;
  ApplyImages(mainItems_);
  ApplyImages(popupItems_);
}

void TMLSHelper::PlaceItems(TItems& items, TMenuItem* parent, size_t position, int groupIndex) {
  RemoveItems(items);
  for (int i = 0; i < MLSLanguageCount; ++i) {
    items[i]->GroupIndex = groupIndex;
    items[i]->Bitmap = showMenuImages_ ? LanguageImage(i) : nullptr;
    parent->Insert(position + static_cast<size_t>(i), items[i]);
  }
}

void TMLSHelper::RemoveItems(TItems& items) {
  for (TMenuItem* item : items) {
    if (item->Parent()) item->Parent()->Remove(item);
  }
}

void TMLSHelper::SetMainMenuItem(TMenuItem* placeholder) {
  if (placeholder == mainPlaceholder_) return;
  mainPlaceholder_ = placeholder;
  if (!placeholder) {
    RemoveItems(mainItems_);
    return;
  }
  placeholder->SetVisible(false);
  if (TMenuItem* parent = placeholder->Parent()) {
    PlaceItems(mainItems_, parent, static_cast<size_t>(parent->IndexOf(placeholder)) + 1,
               placeholder->GroupIndex);
  }
}

void TMLSHelper::SetPopupMenuItem(TMenuItem* placeholder) {
  if (placeholder == popupPlaceholder_) return;
  popupPlaceholder_ = placeholder;
  popupMenu_ = nullptr;
  if (!placeholder) {
    RemoveItems(popupItems_);
    return;
  }
  placeholder->SetVisible(false);
  if (TMenuItem* parent = placeholder->Parent()) {
    PlaceItems(popupItems_, parent, static_cast<size_t>(parent->IndexOf(placeholder)) + 1,
               placeholder->GroupIndex);
  }
}

void TMLSHelper::InsertMainItems(TMenuItem* parent, size_t position, int groupIndex) {
  mainPlaceholder_ = nullptr;
  PlaceItems(mainItems_, parent, position, groupIndex);
}

void TMLSHelper::InsertPopupItems(TPopupMenu* menu, size_t position, int groupIndex) {
  popupPlaceholder_ = nullptr;
  popupMenu_ = menu;
  PlaceItems(popupItems_, menu->Items(), position, groupIndex);
}

TPopupMenu* TMLSHelper::PopupMenu() const {
  if (popupMenu_) return popupMenu_;
  return dynamic_cast<TPopupMenu*>(MenuOf(popupPlaceholder_));
}

void TMLSHelper::SetPopupControl(TControl* control) {
  if (control == popupControl_) return;
  if (popupControl_) popupControl_->OnClick = nullptr;
  popupControl_ = control;
  if (control) control->OnClick = [this](TComponent* sender) { ShowPopup(sender); };
}

void TMLSHelper::ShowPopup(TComponent*) {
  TPopupMenu* menu = PopupMenu();
  if (!menu || !popupControl_) return;
  const POINT at = popupControl_->ClientToScreen(POINT{0, popupControl_->Height()});
  TWinControl* window = dynamic_cast<TWinControl*>(popupControl_);
  if (!window) window = popupControl_->Parent();
  menu->Popup(at.x, at.y, window ? window->Handle() : nullptr);
}

void TMLSHelper::LanguageItemClick(TComponent* sender) {
  int language = sender ? sender->Tag : 0;
  if (language == 0) language = manager_.DefaultLanguage();
  try {
    manager_.SelectLanguage(language);
  } catch (...) {
    // Some modules may already hold the failed language; the default one is compiled in and
    // puts every module back in step. The user sees the menu fall back to it.
    manager_.SelectLanguage(manager_.DefaultLanguage());
  }
}

void TMLSHelper::ManagerLanguageChanged() {
  UpdateMenus();
  if (OnLanguageChanged) OnLanguageChanged(this);
}

void TMLSHelper::UpdateMenus() {
  if (!menusPrepared_) {
    // Decided once: a language whose files appear later is offered after a restart.
    const TLanguageSet available = manager_.AvailableLanguages();
    for (TItems* items : {&mainItems_, &popupItems_}) {
      (*items)[0]->SetVisible(false);
      for (int i = 1; i < MLSLanguageCount; ++i) {
        (*items)[i]->SetVisible(LanguageSetHas(available, i));
      }
    }
    menusPrepared_ = true;
  }
  const int current = manager_.Language();
  for (TItems* items : {&mainItems_, &popupItems_}) {
    for (int i = 0; i < MLSLanguageCount; ++i) (*items)[i]->SetChecked(i == current);
  }
}
