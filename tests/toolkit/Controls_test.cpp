// Menus, notebooks and speed buttons of the window layer, under Wine.
#include <gtest/gtest.h>

#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace {

struct MenuFixture : ::testing::Test {
  TApplication app;
  TForm* form = nullptr;
  TMainMenu* menu = nullptr;
  TMenuItem *file = nullptr, *stop = nullptr, *record = nullptr;
  std::vector<std::string> log;
  void SetUp() override {
    form = app.CreateForm<TForm>();
    menu = Make<TMainMenu>(form);
    file = Make<TMenuItem>(form);
    file->SetCaption("File");
    file->OnClick = [this](TComponent*) { log.push_back("file opens"); };
    record = Make<TMenuItem>(form);
    record->SetCaption("Record");
    record->SetShortCut(ShortCut(vk::F1 + 1, 0));
    record->OnClick = [this](TComponent*) { log.push_back("record"); };
    stop = Make<TMenuItem>(form);
    stop->SetCaption("Stop");
    stop->SetShortCut(ShortCut(vk::F1 + 2, 0));
    stop->OnClick = [this](TComponent*) { log.push_back("stop"); };
    menu->Items()->Add(file);
    file->Add(record);
    file->Add(stop);
    form->SetMenu(menu);
  }
};

TEST_F(MenuFixture, ShortCutOpensTheParentFirst) {
  EXPECT_TRUE(form->IsShortCut(vk::F1 + 1, 0));
  EXPECT_EQ(log, (std::vector<std::string>{"file opens", "record"}));
}

TEST_F(MenuFixture, TheParentMayEnableTheItemBeforeItsShortCutIsJudged) {
  stop->SetEnabled(false);
  EXPECT_FALSE(form->IsShortCut(vk::F1 + 2, 0));
  EXPECT_EQ(log, std::vector<std::string>{"file opens"});
  log.clear();
  file->OnClick = [this](TComponent*) { stop->SetEnabled(true); };
  EXPECT_TRUE(form->IsShortCut(vk::F1 + 2, 0));
  EXPECT_EQ(log, std::vector<std::string>{"stop"});
  EXPECT_FALSE(form->IsShortCut(vk::F1 + 5, 0));
}

TEST_F(MenuFixture, KeysReachTheMenuThroughTheMessageLoop) {
  form->Show();
  PostMessageA(form->Handle(), WM_KEYDOWN, vk::F1 + 1, 0);
  app.ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"file opens", "record"}));
}

TEST_F(MenuFixture, MenuStateReachesTheWin32Menu) {
  HMENU bar = GetMenu(form->Handle());
  ASSERT_NE(bar, nullptr);
  HMENU sub = GetSubMenu(bar, 0);
  ASSERT_NE(sub, nullptr);
  char text[64] = {};
  GetMenuStringA(sub, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Record\tF2");
  stop->SetEnabled(false);
  EXPECT_TRUE(GetMenuState(sub, 1, MF_BYPOSITION) & MF_GRAYED);
  stop->SetEnabled(true);
  EXPECT_FALSE(GetMenuState(sub, 1, MF_BYPOSITION) & MF_GRAYED);
  // Choosing an item from the menu runs it; opening the menu runs the parent.
  SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), 0);
  SendMessageA(form->Handle(), WM_COMMAND, stop->Command(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"file opens", "stop"}));
  record->SetVisible(false);
  sub = GetSubMenu(GetMenu(form->Handle()), 0);
  EXPECT_EQ(GetMenuItemCount(sub), 1);
}

TEST_F(MenuFixture, RadioItemsOfAGroupExcludeEachOther) {
  record->RadioItem = stop->RadioItem = true;
  record->GroupIndex = stop->GroupIndex = 3;
  record->SetChecked(true);
  stop->SetChecked(true);
  EXPECT_FALSE(record->Checked());
  EXPECT_TRUE(stop->Checked());
}

struct Box : TGraphicControl {
  using TGraphicControl::TGraphicControl;
  void Paint(TCanvas&) override {}
};

TEST(Controls, NotebookShowsOnePage) {
  TApplication app;
  TForm* form = app.CreateForm<TForm>();
  auto* book = Make<TNotebook>(form);
  book->SetParent(form);
  book->SetBounds(0, 0, 100, 40);
  TPanel* p0 = book->AddPage("Default");
  TPanel* p1 = book->AddPage("Recorder");
  form->Show();
  EXPECT_EQ(book->PageIndex(), 0);
  EXPECT_TRUE(IsWindowVisible(p0->Handle()));
  EXPECT_FALSE(IsWindowVisible(p1->Handle()));
  book->SetPageIndex(1);
  EXPECT_FALSE(IsWindowVisible(p0->Handle()));
  EXPECT_TRUE(IsWindowVisible(p1->Handle()));
  book->SetPageIndex(7);  // no such page: nothing changes
  EXPECT_EQ(book->PageIndex(), 1);
  EXPECT_EQ(p1->Width(), 100);
}

TEST(Controls, GroupedSpeedButtonFlipsBeforeItsHandlerRuns) {
  TComponent owner(nullptr);
  auto* b = Make<TSpeedButton>(&owner);
  b->GroupIndex = 1;
  b->AllowAllUp = true;
  std::vector<bool> seen;
  b->OnClick = [&](TComponent*) { seen.push_back(b->Down()); };
  b->Click();
  b->Click();
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  b->SetEnabled(false);
  b->Click();
  EXPECT_EQ(seen.size(), 2u);
}

TEST(Controls, CheckBoxReportsTheUsersChange) {
  TApplication app;
  TForm* form = app.CreateForm<TForm>();
  auto* cb = Make<TCheckBox>(form);
  cb->SetParent(form);
  cb->SetBounds(10, 10, 100, 20);
  int changes = 0;
  cb->OnChange = [&](TComponent*) { ++changes; };
  form->Show();
  SendMessageA(cb->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(cb->Checked());
  EXPECT_EQ(changes, 1);
  cb->SetChecked(false);
  EXPECT_FALSE(cb->Checked());
}

TEST(Controls, LabelSizesItselfToItsCaption) {
  TComponent owner(nullptr);
  auto* l = Make<TLabel>(&owner);
  l->SetCaption("A somewhat longer caption");
  int wide = l->Width();
  l->SetCaption("A");
  EXPECT_LT(l->Width(), wide);
  EXPECT_GT(l->Height(), 5);
}

}  // namespace
