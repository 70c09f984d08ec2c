// The language menus of a form, with shipped translations copied into a private program folder.
#include "mls/MLSHelper.h"

#include <gtest/gtest.h>

#include "mls/MLSFixture.h"
#include "mls/MLSLanguages.h"
#include "toolkit/Forms.h"

namespace {

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
    helper = Make<TMLSHelper>(form, *Manager);
    helper->SetShowMenuImages(true);
    helper->SetMainMenuItem(miMLSItemsHere);
    helper->InsertPopupItems(LanguagesMenu, 1);
    helper->OnLanguageChanged = [this](TComponent*) { ++Changes; };
  }

  // Copies the shipped translation of the given modules into the program's "mls" folder.
  void Ship(const std::string& code,
            std::vector<std::string> modules = {"qdShared", "ovShared", "Vocalet", "SoundRec"}) {
    char bin[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, bin, MAX_PATH);
    *strrchr(bin, '\\') = 0;
    for (const std::string& m : modules) {
      const std::string name = m + "_" + code + ".mls";
      ASSERT_TRUE(CopyFileA((std::string(bin) + "\\mls\\" + name).c_str(),
                            (Folder + "\\mls\\" + name).c_str(), FALSE))
          << name;
    }
  }

  void Unship(const std::string& name) { DeleteFileA((Folder + "\\mls\\" + name).c_str()); }

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

// Which languages are complete is decided at the first selection, not again at each switch.
TEST_F(MLSHelperTest, OnlyLanguagesWithAllFourModulesAreOfferedAfterThePlaceholder) {
  Ship("deu");
  Ship("rus");
  Ship("fra", {"qdShared", "ovShared", "Vocalet"});
  EXPECT_FALSE(miMLSItemsHere->Visible());
  ASSERT_EQ(miLanguage->Count(), 22u);
  ASSERT_EQ(LanguagesMenu->Items()->Count(), 21u);
  for (int i = 0; i < MLSLanguageCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(miLanguage->Items(1 + i), helper->MainItems(i));
    EXPECT_EQ(LanguagesMenu->Items()->Items(1 + i), helper->PopupItems(i));
    EXPECT_EQ(helper->MainItems(i)->Caption(), LanguageNames[i]);
  }
  EXPECT_EQ(LanguageSubmenu(), std::vector<std::string>{"After"}) << "hidden until selected";
  Manager->SelectLanguage(0);
  EXPECT_EQ(Where(&TMenuItem::Visible), (std::vector<int>{German, English, Russian}));
  EXPECT_EQ(Where(&TMenuItem::Checked), std::vector<int>{English});
  EXPECT_EQ(LanguageSubmenu(), (std::vector<std::string>{LanguageNames[German],
                                                         LanguageNames[English],
                                                         LanguageNames[Russian], "After"}));
  EXPECT_TRUE(GetMenuState(Languages(), 1, MF_BYPOSITION) & MF_CHECKED);
  MENUITEMINFOA mii{};  // the language's name as a picture
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_BITMAP;
  ASSERT_TRUE(GetMenuItemInfoA(Languages(), 0, TRUE, &mii));
  EXPECT_TRUE(mii.hbmpItem && mii.hbmpItem == helper->LanguageImage(German));
  Ship("fra", {"SoundRec"});
  Unship("SoundRec_deu.mls");
  Manager->SetLanguage(Russian);
  EXPECT_EQ(Where(&TMenuItem::Visible), (std::vector<int>{German, English, Russian}));
}

// The main menu's items are clicked in the main window's tests; here the pop-up's.
TEST_F(MLSHelperTest, APopupItemSwitchesAndALanguageThatFailsFallsBackToTheDefaultSilently) {
  Ship("deu");
  Ship("nld");
  Manager->SelectLanguage(0);
  Changes = 0;
  helper->PopupItems(German)->Click();
  helper->PopupItems(German)->Click();  // the checked item does nothing
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Where(&TMenuItem::Checked), std::vector<int>{German});
  EXPECT_EQ(vo->Strings[16], "Senden");
  // Gone after the menu was made: qdShared and ovShared load in Dutch, then Vocalet fails.
  Unship("Vocalet_nld.mls");
  EXPECT_NO_THROW(helper->PopupItems(Dutch)->Click());
  EXPECT_EQ(Manager->Language(), English);
  EXPECT_EQ(Where(&TMenuItem::Checked), std::vector<int>{English});
  EXPECT_EQ(Changes, 2);
  EXPECT_EQ(qd->Strings[5], "Back");
  EXPECT_EQ(vo->Strings[16], "Send");
}

}  // namespace
