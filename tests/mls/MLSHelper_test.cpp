// The language menu under Wine: a form with a main menu and a pop-up menu, the four string
// modules, and the shipped translation files copied into a private program folder.
#include "mls/MLSHelper.h"

#include <gtest/gtest.h>

#include "mls/MLSFixture.h"
#include "mls/MLSLanguages.h"
#include "toolkit/Forms.h"

namespace {

std::string BinFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.find_last_of('\\') + 1);
}

struct MLSHelperTest : MLSFixture {
  std::unique_ptr<TApplication> app = std::make_unique<TApplication>();
  TForm* form = nullptr;
  TMenuItem *miLanguage = nullptr, *miMLSItemsHere = nullptr, *miAfter = nullptr;
  TPopupMenu* LanguagesMenu = nullptr;
  TMLSHelper* helper = nullptr;
  int Changes = 0;

  void SetUp() override {
    MLSFixture::SetUp();
    form = app->CreateForm<TForm>();
    auto item = [this](const char* caption) {
      auto* i = Make<TMenuItem>(form);
      i->SetCaption(caption);
      return i;
    };
    auto* menu = Make<TMainMenu>(form);
    TMenuItem* miView = item("&View");
    miLanguage = item("&Language");
    miMLSItemsHere = item("(languages)");
    miMLSItemsHere->GroupIndex = 5;
    miAfter = item("After");
    menu->Items()->Add(miView);
    miView->Add(miLanguage);
    miLanguage->Add(miMLSItemsHere);
    miLanguage->Add(miAfter);
    form->SetMenu(menu);
    LanguagesMenu = Make<TPopupMenu>(form);
    LanguagesMenu->Items()->Add(item("Before"));
  }

  void TearDown() override {
    // The helper leaves the manager with its form, so the window goes first.
    app.reset();
    MLSFixture::TearDown();
  }

  // Copies the shipped translation of the given modules into the program's "mls" folder.
  void Ship(const std::string& code,
            std::vector<std::string> modules = {"qdShared", "ovShared", "Vocalet", "SoundRec"}) {
    for (const std::string& m : modules) {
      const std::string name = m + "_" + code + ".mls";
      ASSERT_TRUE(CopyFileA((BinFolder() + "mls\\" + name).c_str(),
                            (Folder + "\\mls\\" + name).c_str(), FALSE))
          << name;
    }
  }

  void Unship(const std::string& code, const std::string& module) {
    DeleteFileA((Folder + "\\mls\\" + module + "_" + code + ".mls").c_str());
  }

  TMLSHelper* MakeHelper() {
    helper = Make<TMLSHelper>(form, *Manager);
    helper->SetShowMenuImages(true);
    helper->SetMainMenuItem(miMLSItemsHere);
    helper->InsertPopupItems(LanguagesMenu, 1);
    helper->OnLanguageChanged = [this](TComponent* sender) {
      EXPECT_EQ(sender, helper);
      ++Changes;
    };
    return helper;
  }

  // The languages whose items are visible (or checked); both menus must agree.
  std::vector<int> Where(bool (TMenuItem::*state)() const) const {
    std::vector<int> main, popup;
    for (int i = 0; i < MLSLanguageCount; ++i) {
      if ((helper->MainItems(i)->*state)()) main.push_back(i);
      if ((helper->PopupItems(i)->*state)()) popup.push_back(i);
    }
    EXPECT_EQ(main, popup);
    return main;
  }

  // The captions of the Win32 submenu under View > Language, as the user sees it.
  HMENU Languages() { return GetSubMenu(GetSubMenu(GetMenu(form->Handle()), 0), 0); }
  std::vector<std::string> LanguageSubmenu() {
    std::vector<std::string> captions;
    for (int i = 0; i < GetMenuItemCount(Languages()); ++i) {
      char text[128] = {};
      GetMenuStringA(Languages(), i, text, sizeof text, MF_BYPOSITION);
      captions.push_back(text);
    }
    return captions;
  }
};

TEST_F(MLSHelperTest, ItemsFollowThePlaceholdersHiddenUntilALanguageIsSet) {
  MakeHelper();
  EXPECT_FALSE(miMLSItemsHere->Visible());
  ASSERT_EQ(miLanguage->Count(), 22u);
  ASSERT_EQ(LanguagesMenu->Items()->Count(), 21u);
  for (int i = 0; i < MLSLanguageCount; ++i) {
    SCOPED_TRACE(i);
    TMenuItem* item = helper->MainItems(i);
    EXPECT_EQ(miLanguage->Items(1 + i), item);
    EXPECT_EQ(LanguagesMenu->Items()->Items(1 + i), helper->PopupItems(i));
    EXPECT_EQ(item->Tag, i);
    EXPECT_TRUE(item->RadioItem);
    EXPECT_EQ(item->GroupIndex, 5);
    EXPECT_EQ(item->Caption(), LanguageNames[i]);
    EXPECT_FALSE(item->Visible());
    EXPECT_EQ(item->Owner(), form);
  }
  EXPECT_EQ(miLanguage->Items(21), miAfter);
  EXPECT_EQ(LanguageSubmenu(), std::vector<std::string>{"After"});
  Manager->SelectLanguage(0);  // without files only English is offered
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Where(&TMenuItem::Visible), std::vector<int>{English});
  EXPECT_EQ(Where(&TMenuItem::Checked), std::vector<int>{English});
  EXPECT_EQ(LanguageSubmenu(), (std::vector<std::string>{LanguageNames[English], "After"}));
  EXPECT_TRUE(GetMenuState(Languages(), 0, MF_BYPOSITION) & MF_CHECKED);
  helper->SetMainMenuItem(nullptr);  // takes the items out of the main menu only
  EXPECT_EQ(miLanguage->Count(), 2u);
  EXPECT_FALSE(miMLSItemsHere->Visible());
  EXPECT_EQ(LanguageSubmenu(), std::vector<std::string>{"After"});
  EXPECT_EQ(helper->PopupItems(English)->Parent(), LanguagesMenu->Items());
}

// Which languages are complete is decided at the first selection, not again at each switch.
TEST_F(MLSHelperTest, OnlyLanguagesWithAllFourModulesAreOfferedAsFoundAtFirst) {
  Ship("deu");
  Ship("rus");
  Ship("fra", {"qdShared", "ovShared", "Vocalet"});
  MakeHelper();
  Manager->SelectLanguage(0);
  EXPECT_EQ(Where(&TMenuItem::Visible), (std::vector<int>{German, English, Russian}));
  EXPECT_EQ(LanguageSubmenu(), (std::vector<std::string>{LanguageNames[German],
                                                         LanguageNames[English],
                                                         LanguageNames[Russian], "After"}));
  Ship("fra", {"SoundRec"});
  Unship("deu", "SoundRec");
  Manager->SetLanguage(English);
  EXPECT_EQ(Where(&TMenuItem::Visible), (std::vector<int>{German, English, Russian}));
}

TEST_F(MLSHelperTest, ChoosingALanguageSwitchesEveryModuleAndChecksItInBothMenus) {
  Ship("deu");
  MakeHelper();
  Manager->SelectLanguage(0);
  Changes = 0;
  SendMessageA(form->Handle(), WM_COMMAND, helper->MainItems(German)->Command(), 0);
  EXPECT_EQ(Manager->Language(), German);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Where(&TMenuItem::Checked), std::vector<int>{German});
  EXPECT_EQ(vo->Strings[16], "Senden");
  EXPECT_EQ(sr->Strings[12], "Aufnahme");
  EXPECT_EQ(ov->Strings[114], "Sprache");
  EXPECT_EQ(qd->Strings[5], "Zur\xFC" "ck");  // code page 1252
  // The pop-up menu's item does the same, and the checked item does nothing at all.
  helper->PopupItems(English)->Click();
  EXPECT_EQ(Manager->Language(), English);
  helper->PopupItems(English)->Click();
  EXPECT_EQ(Changes, 2);
  EXPECT_EQ(vo->Strings[16], "Send");
  // The item tagged 0 means the default language.
  Manager->SelectLanguage(German);
  helper->LanguageItemClick(helper->MainItems(0));
  EXPECT_EQ(Manager->Language(), English);
}

TEST_F(MLSHelperTest, ALanguageThatFailsToLoadFallsBackToTheDefaultSilently) {
  Ship("deu");
  Ship("nld");
  MakeHelper();
  Manager->SelectLanguage(German);
  // Gone after the menu was made: qdShared and ovShared load in Dutch, then Vocalet fails.
  Unship("nld", "Vocalet");
  Changes = 0;
  EXPECT_NO_THROW(helper->MainItems(Dutch)->Click());
  EXPECT_EQ(Manager->Language(), English);
  EXPECT_EQ(Where(&TMenuItem::Checked), std::vector<int>{English});
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(qd->Strings[5], "Back");
  EXPECT_EQ(vo->Strings[16], "Send");
  EXPECT_EQ(ov->Strings[114], "Language");
}

TEST_F(MLSHelperTest, PicturesAreShownOnlyWhenAsked) {
  MakeHelper();
  for (int i = 0; i < MLSLanguageCount; ++i) {
    ASSERT_NE(helper->LanguageImage(i), nullptr) << i;
    EXPECT_EQ(helper->MainItems(i)->Bitmap, helper->LanguageImage(i));
    EXPECT_EQ(helper->PopupItems(i)->Bitmap, helper->LanguageImage(i));
  }
  BITMAP bm{};
  GetObjectA(helper->LanguageImage(English), sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, LanguagePictureWidth);
  EXPECT_EQ(bm.bmHeight, LanguagePictureHeight);
  // Each picture holds a name and keeps its last column free, so that names never touch.
  HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, helper->LanguageImage(0));
  for (int i = 0; i < MLSLanguageCount; ++i) {
    SelectObject(dc, helper->LanguageImage(i));
    const COLORREF back = GetPixel(dc, LanguagePictureWidth - 1, 0);
    int ink = 0, lastColumn = 0;
    for (int y = 0; y < LanguagePictureHeight; ++y)
      for (int x = 0; x < LanguagePictureWidth; ++x)
        if (GetPixel(dc, x, y) != back) ++(x == LanguagePictureWidth - 1 ? lastColumn : ink);
    EXPECT_GT(ink, 40) << "picture " << i;
    EXPECT_EQ(lastColumn, 0) << "picture " << i;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  Manager->SelectLanguage(0);
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_BITMAP;
  for (bool show : {false, true}) {
    helper->SetShowMenuImages(show);
    const HBITMAP expected = show ? helper->LanguageImage(English) : nullptr;
    EXPECT_EQ(helper->PopupItems(English)->Bitmap, expected);
    ASSERT_TRUE(GetMenuItemInfoA(Languages(), 0, TRUE, &mii));
    EXPECT_EQ(mii.hbmpItem, expected);
  }
}

TEST(LanguagePicturePixels, CutsOnePictureAndPutsTheBackgroundBehindIt) {
  const int width = 3 * LanguagePictureWidth;
  std::vector<std::uint32_t> strip(width * LanguagePictureHeight, 0xFF00FF);
  strip[LanguagePictureWidth + 2] = 0x000000;                           // picture 1, row 0
  strip[12 * width + 2 * LanguagePictureWidth - 1] = 0x808080;         // picture 1, last pixel
  strip[2 * LanguagePictureWidth] = 0x101010;                           // picture 2
  const auto p = LanguagePicturePixels(strip, width, 1, 0xD4D0C8);
  ASSERT_EQ(p.size(), size_t(LanguagePictureWidth * LanguagePictureHeight));
  EXPECT_EQ(p[2], 0x000000u);
  EXPECT_EQ(p.back(), 0x808080u);
  EXPECT_EQ(p[0], 0xD4D0C8u);
  EXPECT_EQ(p[LanguagePictureWidth - 1], 0xD4D0C8u);  // picture 2's pixel stays out
  // A strip cut short leaves the missing part as background.
  const auto beyond = LanguagePicturePixels(strip, width, 5, 0x123456);
  EXPECT_EQ(beyond[0], 0x123456u);
}

}  // namespace
