// What the window layer offers dialogs, under Wine: drop-down lists, page controls, Enter
// and Esc, labels with accelerator marks, the application-wide cursor, hints and colours.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "toolkit/ComCtrls.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Forms.h"
#include "toolkit/PageControl.h"
#include "toolkit/Screen.h"
#include "toolkit/StdCtrls.h"

namespace {

struct Dialog : ::testing::Test {
  TApplication app;
  TForm* form = nullptr;
  void SetUp() override {
    form = app.CreateForm<TForm>();
    form->BorderStyle = bsDialog;
    form->SetBounds(50, 50, 300, 200);
  }
};

TEST_F(Dialog, ADropDownListKeepsItsItemsAndSelectionAcrossItsWindow) {
  auto* combo = Make<TComboBox>(form);
  combo->SetItems({"(None)", "Ctrl+Alt+A", "Ctrl+Alt+B"});
  combo->SetItemIndex(2);
  EXPECT_EQ(combo->Text(), "Ctrl+Alt+B") << "before it has a window";
  combo->SetParent(form);
  form->Show();
  HWND h = combo->Handle();
  EXPECT_EQ(SendMessageA(h, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(h, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(combo->IndexOf("Ctrl+Alt+A"), 1);
  EXPECT_EQ(combo->IndexOf("ctrl+alt+a"), -1) << "exact text only";
  combo->SetItemIndex(7);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  // A choice made in the window (as CB_SELECTSTRING from outside makes it) is read back.
  SendMessageA(h, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Ctrl+Alt+A"));
  EXPECT_EQ(combo->Text(), "Ctrl+Alt+A");
}

TEST_F(Dialog, APageControlShowsOnlyTheActiveSheetInsideItsTabs) {
  auto* book = Make<TPageControl>(form);
  book->SetBounds(5, 5, 280, 150);
  book->SetParent(form);
  TTabSheet* first = book->AddPage("General");
  TTabSheet* second = book->AddPage("More");
  form->Show();
  EXPECT_EQ(book->ActivePage(), first);
  EXPECT_TRUE(IsWindowVisible(first->Handle()));
  EXPECT_FALSE(IsWindowVisible(second->Handle()));
  EXPECT_EQ(SendMessageA(book->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  RECT r = book->DisplayRect();
  EXPECT_EQ(first->Left(), r.left);
  EXPECT_GT(first->Top(), 10) << "below the tabs";
  second->SetCaption("Advanced");
  char text[32] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(book->Handle(), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "Advanced");
  book->SetActivePage(second);
  EXPECT_FALSE(IsWindowVisible(first->Handle()));
  EXPECT_TRUE(IsWindowVisible(second->Handle()));
  first->SetTabVisible(false);
  EXPECT_EQ(SendMessageA(book->Handle(), TCM_GETITEMCOUNT, 0, 0), 1);
}

TEST_F(Dialog, EnterClicksTheDefaultButtonAndEscTheCancelButton) {
  auto* ok = Make<TButton>(form);
  ok->Default = true;
  ok->ModalResult = mrOk;
  ok->SetParent(form);
  auto* cancel = Make<TButton>(form);
  cancel->Cancel = true;
  cancel->ModalResult = mrCancel;
  cancel->SetParent(form);
  auto* box = Make<TCheckBox>(form);
  box->SetParent(form);
  form->Show();
  SetFocus(box->Handle());
  EXPECT_TRUE(form->DialogKey(VK_RETURN));
  EXPECT_EQ(form->ModalResult, mrOk);
  EXPECT_TRUE(form->DialogKey(VK_ESCAPE));
  EXPECT_EQ(form->ModalResult, mrCancel);
  // A focused push button takes Enter itself.
  int clicks = 0;
  cancel->OnClick = [&](TComponent*) { ++clicks; };
  SetFocus(cancel->Handle());
  EXPECT_TRUE(form->DialogKey(VK_RETURN));
  EXPECT_EQ(clicks, 1);
  // A hidden Cancel button does not answer.
  cancel->SetVisible(false);
  EXPECT_FALSE(form->DialogKey(VK_ESCAPE));
  EXPECT_FALSE(form->DialogKey('A'));
}

TEST_F(Dialog, EscapeThroughTheMessageLoopEndsAModalForm) {
  auto* cancel = Make<TButton>(form);
  cancel->Cancel = true;
  cancel->ModalResult = mrCancel;
  cancel->SetParent(form);
  auto* box = Make<TCheckBox>(form);
  box->SetParent(form);
  form->OnShow = [&](TComponent*) {
    SetFocus(box->Handle());
    PostMessageA(box->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  };
  EXPECT_EQ(form->ShowModal(), mrCancel);
}

TEST_F(Dialog, ALabelWithAccelCharsShowsADoubledAmpersandOnce) {
  auto paint = [&](const std::string& caption, bool accel) {
    auto* label = Make<TLabel>(form);
    label->ShowAccelChar = accel;
    label->SetCaption(caption);
    TBitmap b(label->Width(), label->Height());
    {
      TCanvas canvas(b.DC());
      label->Paint(canvas);
    }
    GdiFlush();
    std::vector<TColor> pixels;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) pixels.push_back(b.Pixel(x, y));
    return std::make_pair(SIZE{label->Width(), label->Height()}, pixels);
  };
  const auto accel = paint("A && B", true), plain = paint("A & B", false);
  EXPECT_EQ(accel.first.cx, plain.first.cx) << "sized as shown";
  EXPECT_EQ(accel.second, plain.second);
  EXPECT_NE(paint("A && B", false).first.cx, plain.first.cx) << "without: both are shown";
}

TEST_F(Dialog, AScreenCursorShowsOverEveryWindowOfOursUntilCleared) {
  auto* box = Make<TCheckBox>(form);
  box->SetParent(form);
  form->Show();
  const HCURSOR help = LoadCursor(nullptr, IDC_HELP);
  SetScreenCursor(help);
  EXPECT_EQ(ScreenCursor(), help);
  for (HWND h : {form->Handle(), box->Handle()}) {
    SetCursor(nullptr);
    SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), help);
  }
  SetScreenCursor(nullptr);
  HWND h = form->Handle();
  SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
}

TEST_F(Dialog, AGroupBoxPaintsItsInsideInItsColour) {
  auto* group = Make<TGroupBox>(form);
  group->SetBounds(10, 10, 120, 80);
  group->SetParent(form);
  group->Color = clYellow;
  form->Show();
  TBitmap b(120, 80);
  SendMessageA(group->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(b.DC()), 0);
  GdiFlush();
  EXPECT_EQ(b.Pixel(60, 40), clYellow);
}

// What a control shows of itself on screen, read back from the display.
TColor ScreenPixel(HWND wnd, int x, int y) {
  UpdateWindow(wnd);
  HDC dc = GetDC(wnd);
  TColor c = GetPixel(dc, x, y);
  ReleaseDC(wnd, dc);
  return c;
}

TEST_F(Dialog, AControlWithoutAHintOfItsOwnShowsItsParentsHint) {
  auto* panel = Make<TPanel>(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 39, 20);
  panel->Hint = "Click here to adjust volume";
  panel->ShowHint = true;
  auto* box = Make<TPaintBox>(panel);
  box->SetParent(panel);
  box->SetBounds(1, 1, 37, 18);
  form->Show();
  app.HintPause = 1;
  app.HintMouseMove(box);
  for (int i = 0; i < 200 && !IsWindowVisible(app.HintWindow()); ++i) {
    app.ProcessMessages();
    Sleep(10);
  }
  EXPECT_TRUE(app.HintWindow() && IsWindowVisible(app.HintWindow()));
  EXPECT_EQ(app.HintText(), "Click here to adjust volume");
  app.CancelHint();
}

TEST_F(Dialog, PanelsWithTheParentsColourFollowItsChange) {
  form->Color = clYellow;
  auto* outer = Make<TPanel>(form);
  outer->SetParent(form);
  outer->BevelOuter = bvNone;
  outer->ParentColor = true;
  outer->SetBounds(10, 10, 100, 60);
  auto* inner = Make<TPanel>(outer);
  inner->SetParent(outer);
  inner->BevelOuter = bvNone;
  inner->ParentColor = true;
  inner->SetBounds(10, 10, 40, 20);
  auto* own = Make<TPanel>(outer);
  own->SetParent(outer);
  own->BevelOuter = bvNone;
  own->Color = clBlue;
  own->SetBounds(60, 10, 30, 20);
  form->Show();
  EXPECT_EQ(ScreenPixel(inner->Handle(), 5, 5), clYellow);
  form->Color = clRed;
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  EXPECT_EQ(ScreenPixel(outer->Handle(), 5, 5), clRed);
  EXPECT_EQ(ScreenPixel(inner->Handle(), 5, 5), clRed);
  EXPECT_EQ(ScreenPixel(own->Handle(), 5, 5), clBlue) << "a colour of its own stays";
}

TEST_F(Dialog, ASystemControlIsPaintedInItsColour) {
  // The hot-key list of Easy Launch: window colour when enabled, button face when disabled.
  auto* combo = Make<TComboBox>(form);
  combo->SetParent(form);
  combo->SetBounds(10, 10, 114, 21);
  combo->SetItems({"(None)"});
  combo->Color = clYellow;
  auto* box = Make<TCheckBox>(form);
  box->SetParent(form);
  box->SetBounds(10, 50, 120, 17);
  box->Color = clLime;
  form->Show();
  HDC dc = GetDC(form->Handle());
  auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
      form->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
      reinterpret_cast<LPARAM>(combo->Handle())));
  ReleaseDC(form->Handle(), dc);
  LOGBRUSH lb{};
  ASSERT_TRUE(brush && GetObjectA(brush, sizeof lb, &lb));
  EXPECT_EQ(lb.lbColor, clYellow);
  combo->SetEnabled(false);
  combo->Color = clFuchsia;
  combo->Invalidate();
  EXPECT_EQ(ScreenPixel(combo->Handle(), 4, 4), clFuchsia);
  EXPECT_EQ(ScreenPixel(box->Handle(), 117, 8), clLime);
}

TEST_F(Dialog, ATransparentToolbarShowsItsParentsColourBehindItsButtons) {
  auto* page = Make<TPanel>(form);
  page->SetParent(form);
  page->BevelOuter = bvNone;
  page->Color = clYellow;
  page->SetBounds(0, 0, 280, 40);
  auto* bar = Make<TToolBar>(page);
  bar->SetParent(page);
  bar->SetFlat(true);
  bar->SetTransparent(true);
  bar->SetBounds(0, 0, 280, 40);
  bar->AddButton("btn", -1);
  form->Show();
  RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(ScreenPixel(bar->Handle(), 250, 20), clYellow);
}

}  // namespace
