// The window layer under Wine: the message loop, menus, painting, hints and what it offers
// dialogs.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "toolkit/ComCtrls.h"
#include "toolkit/ComboBox.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/PageControl.h"
#include "toolkit/Screen.h"
#include "toolkit/StdCtrls.h"

namespace {

using Log = std::vector<std::string>;

struct Box : TGraphicControl {
  using TGraphicControl::TGraphicControl;
  void Paint(TCanvas& c) override {
    c.SetBrushColor(Color);
    RECT r = ClientRect();
    c.FillRect(r);
  }
};

struct Toolkit : ::testing::Test {
  TApplication app;
  TForm* form = app.CreateForm<TForm>();
  Log errors;
  Toolkit() {
    app.OnException = [this](const std::exception* e) { errors.push_back(e ? e->what() : "?"); };
    form->SetBounds(50, 50, 300, 200);
  }
  // A control owned by the form, placed on parent.
  template <class T>
  T* Put(TWinControl* parent, int left, int top, int width, int height) {
    T* c = Make<T>(form);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
  }
  // Runs the message loop until done() or for ms milliseconds; says whether done() came.
  bool Pump(const std::function<bool()>& done, DWORD ms = 2000) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(5)) {
      app.ProcessMessages();
      if (done()) return true;
    }
    return false;
  }
  // What a window shows of itself on screen.
  static TColor ScreenPixel(HWND wnd, int x, int y) {
    UpdateWindow(wnd);
    HDC dc = GetDC(wnd);
    const TColor c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return c;
  }
  bool HintShown() { return app.HintWindow() && IsWindowVisible(app.HintWindow()); }
};

TEST_F(Toolkit, AnErrorInAClickHandlerReachesTheErrorBoxAndTheWindowStaysUsable) {
  auto* box = Put<Box>(form, 20, 20, 50, 50);
  int clicks = 0;
  box->OnClick = [&](TComponent*) {
    if (++clicks == 1) throw std::runtime_error("first click fails");
  };
  form->Show();
  const HWND h = form->Handle();
  for (int x : {30, 30, 150}) {  // the last click is outside the box: the form's
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 30));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x, 30));
  }
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(errors, Log{"first click fails"});
  EXPECT_TRUE(IsWindow(h));
}

TEST_F(Toolkit, GraphicControlsArePaintedByTheirParentInZOrder) {
  form->BorderStyle = bsNone;
  form->SetBounds(0, 0, 100, 100);
  form->Color = clWhite;
  auto* under = Put<Box>(form, 10, 10, 40, 40);
  under->Color = clRed;
  Put<Box>(form, 30, 30, 40, 40)->Color = clBlue;
  form->Show();
  const HWND h = form->Handle();
  EXPECT_EQ(ScreenPixel(h, 5, 5), clWhite);
  EXPECT_EQ(ScreenPixel(h, 15, 15), clRed);
  EXPECT_EQ(ScreenPixel(h, 35, 35), clBlue);  // the later control lies on top
  under->SetVisible(false);
  EXPECT_EQ(ScreenPixel(h, 15, 15), clWhite);
}

TEST_F(Toolkit, ShowModalReturnsTheResultAndReenablesTheOwner) {
  form->Show();
  SetActiveWindow(form->Handle());
  TForm* dlg = app.CreateForm<TForm>();
  auto* t = Make<TTimer>(dlg);
  t->SetInterval(30);
  bool ownerWasDisabled = false;
  t->OnTimer = [&](TComponent*) {
    ownerWasDisabled = !IsWindowEnabled(form->Handle());
    dlg->ModalResult = mrOk;
  };
  EXPECT_EQ(dlg->ShowModal(), mrOk);
  EXPECT_TRUE(ownerWasDisabled);
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  EXPECT_FALSE(IsWindowVisible(dlg->Handle()));
}

TEST(Bitmap, TransparentDrawLeavesTheKeyColourOut) {
  TBitmap src(4, 1), dst(4, 1);
  const TColor in[] = {clLime, clRed, clLime, clBlue}, out[] = {clWhite, clRed, clWhite, clBlue};
  for (int x = 0; x < 4; ++x) SetPixel(src.DC(), x, 0, in[x]);
  src.Transparent = true;
  src.TransparentColor = clLime;
  src.Draw(dst.DC(), 0, 0);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.Pixel(x, 0), out[x]) << x;
}

// File > Record (F2), Stop (F3); opening File is logged.
struct Menus : Toolkit {
  TMenuItem *file = Item("File"), *record = Item("Record"), *stop = Item("Stop");
  Log log;
  Menus() {
    record->SetShortCut(ShortCut(vk::F1 + 1, 0));
    stop->SetShortCut(ShortCut(vk::F1 + 2, 0));
    auto* menu = Make<TMainMenu>(form);
    menu->Items()->Add(file);
    file->Add(record);
    file->Add(stop);
    form->SetMenu(menu);
  }
  TMenuItem* Item(const std::string& caption) {
    auto* item = Make<TMenuItem>(form);
    item->SetCaption(caption);
    item->OnClick = [this, caption](TComponent*) { log.push_back(caption); };
    return item;
  }
  HMENU FileMenu() { return GetSubMenu(GetMenu(form->Handle()), 0); }
};

TEST_F(Menus, ShortCutOpensTheParentFirstWhichMayEnableTheItem) {
  form->Show();
  PostMessageA(form->Handle(), WM_KEYDOWN, vk::F1 + 1, 0);
  app.ProcessMessages();
  EXPECT_EQ(log, (Log{"File", "Record"}));
  log.clear();
  stop->SetEnabled(false);
  EXPECT_FALSE(form->IsShortCut(vk::F1 + 2, 0));
  file->OnClick = [this](TComponent*) { stop->SetEnabled(true); };
  EXPECT_TRUE(form->IsShortCut(vk::F1 + 2, 0));
  EXPECT_EQ(log, (Log{"File", "Stop"}));
  EXPECT_FALSE(form->IsShortCut(vk::F1 + 5, 0));
}

TEST_F(Menus, MenuStateReachesTheWin32Menu) {
  char text[64] = {};
  GetMenuStringA(FileMenu(), 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Record\tF2");
  stop->SetEnabled(false);
  EXPECT_TRUE(GetMenuState(FileMenu(), 1, MF_BYPOSITION) & MF_GRAYED);
  stop->SetEnabled(true);
  EXPECT_FALSE(GetMenuState(FileMenu(), 1, MF_BYPOSITION) & MF_GRAYED);
  SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(FileMenu()), 0);
  SendMessageA(form->Handle(), WM_COMMAND, stop->Command(), 0);
  EXPECT_EQ(log, (Log{"File", "Stop"}));
  record->SetVisible(false);
  EXPECT_EQ(GetMenuItemCount(FileMenu()), 1);
  record->RadioItem = stop->RadioItem = true;
  record->GroupIndex = stop->GroupIndex = 3;
  record->SetChecked(true);
  stop->SetChecked(true);
  EXPECT_FALSE(record->Checked()) << "radio items of a group exclude each other";
}

TEST_F(Toolkit, NotebookAndPageControlShowOnlyTheActivePage) {
  auto* notebook = Put<TNotebook>(form, 0, 0, 100, 40);
  TPanel* p0 = notebook->AddPage("Default");
  TPanel* p1 = notebook->AddPage("Recorder");
  auto* book = Put<TPageControl>(form, 5, 45, 280, 150);
  TTabSheet* first = book->AddPage("General");
  TTabSheet* second = book->AddPage("More");
  form->Show();
  EXPECT_TRUE(IsWindowVisible(p0->Handle()) && !IsWindowVisible(p1->Handle()));
  notebook->SetPageIndex(1);
  EXPECT_TRUE(!IsWindowVisible(p0->Handle()) && IsWindowVisible(p1->Handle()));
  notebook->SetPageIndex(7);  // no such page: nothing changes
  EXPECT_EQ(notebook->PageIndex(), 1);
  EXPECT_EQ(p1->Width(), 100);

  EXPECT_EQ(book->ActivePage(), first);
  EXPECT_TRUE(IsWindowVisible(first->Handle()) && !IsWindowVisible(second->Handle()));
  EXPECT_EQ(first->Left(), book->DisplayRect().left);
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
  EXPECT_TRUE(!IsWindowVisible(first->Handle()) && IsWindowVisible(second->Handle()));
  first->SetTabVisible(false);
  EXPECT_EQ(SendMessageA(book->Handle(), TCM_GETITEMCOUNT, 0, 0), 1);
}

TEST_F(Toolkit, ButtonsFlipAndCheckBoxesReportTheUsersChange) {
  auto* b = Make<TSpeedButton>(form);
  b->GroupIndex = 1;
  b->AllowAllUp = true;
  std::vector<bool> seen;
  b->OnClick = [&](TComponent*) { seen.push_back(b->Down()); };  // flipped before it runs
  b->Click();
  b->Click();
  b->SetEnabled(false);
  b->Click();
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  auto* cb = Put<TCheckBox>(form, 10, 10, 100, 20);
  int changes = 0;
  cb->OnChange = [&](TComponent*) { ++changes; };
  form->Show();
  SendMessageA(cb->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(cb->Checked());
  EXPECT_EQ(changes, 1);
}

TEST_F(Toolkit, ADropDownListKeepsItsItemsAndSelectionAcrossItsWindow) {
  auto* combo = Make<TComboBox>(form);
  combo->SetItems({"(None)", "Ctrl+Alt+A", "Ctrl+Alt+B"});
  combo->SetItemIndex(2);
  EXPECT_EQ(combo->Text(), "Ctrl+Alt+B") << "before it has a window";
  combo->SetParent(form);
  form->Show();
  const HWND h = combo->Handle();
  EXPECT_EQ(SendMessageA(h, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(h, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(combo->IndexOf("Ctrl+Alt+A"), 1);
  EXPECT_EQ(combo->IndexOf("ctrl+alt+a"), -1) << "exact text only";
  combo->SetItemIndex(7);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  // A choice made in the window, as CB_SELECTSTRING from outside makes it, is read back.
  SendMessageA(h, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("Ctrl+Alt+A"));
  EXPECT_EQ(combo->Text(), "Ctrl+Alt+A");
}

TEST_F(Toolkit, EnterClicksTheDefaultButtonAndEscTheCancelButton) {
  auto* ok = Put<TButton>(form, 10, 10, 75, 23);
  ok->Default = true;
  ok->ModalResult = mrOk;
  auto* cancel = Put<TButton>(form, 90, 10, 75, 23);
  cancel->Cancel = true;
  cancel->ModalResult = mrCancel;
  auto* box = Put<TCheckBox>(form, 10, 40, 100, 20);
  form->Show();
  SetFocus(box->Handle());
  EXPECT_TRUE(form->DialogKey(VK_RETURN));
  EXPECT_EQ(form->ModalResult, mrOk);
  EXPECT_TRUE(form->DialogKey(VK_ESCAPE));
  EXPECT_EQ(form->ModalResult, mrCancel);
  int clicks = 0;  // a focused push button takes Enter itself
  cancel->OnClick = [&](TComponent*) { ++clicks; };
  SetFocus(cancel->Handle());
  EXPECT_TRUE(form->DialogKey(VK_RETURN));
  EXPECT_EQ(clicks, 1);
  cancel->SetVisible(false);  // a hidden Cancel button does not answer
  EXPECT_FALSE(form->DialogKey(VK_ESCAPE));
  EXPECT_FALSE(form->DialogKey('A'));
}

TEST_F(Toolkit, ALabelWithAccelCharsShowsADoubledAmpersandOnce) {
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
    std::vector<TColor> pixels{TColor(label->Width())};
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) pixels.push_back(b.Pixel(x, y));
    return pixels;
  };
  const auto plain = paint("A & B", false);
  EXPECT_EQ(paint("A && B", true), plain) << "sized and drawn as shown";
  EXPECT_NE(paint("A && B", false)[0], plain[0]) << "without: both are shown";
}

TEST_F(Toolkit, AScreenCursorShowsOverEveryWindowOfOursUntilCleared) {
  auto* box = Put<TPanel>(form, 10, 10, 100, 20);
  form->Show();
  const HCURSOR help = LoadCursor(nullptr, IDC_HELP);
  auto cursorOver = [](HWND h) {
    SetCursor(nullptr);
    SendMessageA(h, WM_SETCURSOR, WPARAM(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  SetScreenCursor(help);
  EXPECT_EQ(ScreenCursor(), help);
  EXPECT_EQ(cursorOver(form->Handle()), help);
  EXPECT_EQ(cursorOver(box->Handle()), help);
  SetScreenCursor(nullptr);
  EXPECT_EQ(cursorOver(form->Handle()), LoadCursor(nullptr, IDC_ARROW));
}

TEST_F(Toolkit, AControlWithoutAHintOfItsOwnShowsItsParentsHint) {
  auto* panel = Put<TPanel>(form, 10, 10, 39, 20);
  panel->Hint = "Click here to adjust volume";
  panel->ShowHint = true;
  auto* box = Put<TPaintBox>(panel, 1, 1, 37, 18);
  form->Show();
  app.HintPause = 1;
  app.HintMouseMove(box);
  EXPECT_TRUE(Pump([&] { return HintShown(); }));
  EXPECT_EQ(app.HintText(), "Click here to adjust volume");
  app.CancelHint();
}

TEST_F(Toolkit, HintOfAControlDestroyedDuringThePauseNeverShows) {
  app.HintPause = 10;
  {
    TComponent dialog(nullptr);
    auto* f = Make<TForm>(&dialog);
    auto* box = Make<Box>(f);
    box->SetParent(f);
    box->Hint = "a hint of a closing dialog";
    box->ShowHint = true;
    app.HintMouseMove(box);
  }  // the dialog closes within the pause
  EXPECT_FALSE(Pump([&] { return HintShown(); }, 200));
  EXPECT_EQ(app.HintText(), "");
}

TEST_F(Toolkit, ControlsArePaintedInTheirOwnOrTheirParentsColour) {
  form->Color = clYellow;
  auto* outer = Put<TPanel>(form, 10, 10, 100, 60);
  auto* inner = Put<TPanel>(outer, 10, 10, 40, 20);
  auto* own = Put<TPanel>(outer, 60, 10, 30, 20);
  for (TPanel* p : {outer, inner, own}) p->BevelOuter = bvNone;
  outer->ParentColor = inner->ParentColor = true;
  own->Color = clBlue;
  auto* group = Put<TGroupBox>(form, 120, 10, 120, 80);
  group->Color = clNavy;
  TBitmap inside(120, 80);
  // The hot-key list of Easy Launch: window colour when enabled, button face when disabled.
  auto* combo = Put<TComboBox>(form, 10, 100, 114, 21);
  combo->SetItems({"(None)"});
  combo->Color = clNavy;
  auto* box = Put<TCheckBox>(form, 10, 130, 120, 17);
  box->Color = clLime;
  auto* page = Put<TPanel>(form, 130, 100, 150, 40);
  page->BevelOuter = bvNone;
  page->Color = clFuchsia;
  auto* bar = Put<TToolBar>(page, 0, 0, 150, 40);
  bar->SetFlat(true);
  bar->SetTransparent(true);
  bar->AddButton("btn", -1);
  form->Show();
  EXPECT_EQ(ScreenPixel(inner->Handle(), 5, 5), clYellow);
  form->Color = clRed;
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  EXPECT_EQ(ScreenPixel(outer->Handle(), 5, 5), clRed);
  EXPECT_EQ(ScreenPixel(inner->Handle(), 5, 5), clRed) << "the parent's change is followed";
  EXPECT_EQ(ScreenPixel(own->Handle(), 5, 5), clBlue) << "a colour of its own stays";
  SendMessageA(group->Handle(), WM_ERASEBKGND, WPARAM(inside.DC()), 0);
  GdiFlush();
  EXPECT_EQ(inside.Pixel(60, 40), clNavy);
  EXPECT_EQ(ScreenPixel(box->Handle(), 117, 8), clLime);
  EXPECT_EQ(ScreenPixel(bar->Handle(), 130, 20), clFuchsia) << "behind a transparent toolbar";
  HDC dc = GetDC(form->Handle());
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
      form->Handle(), WM_CTLCOLOREDIT, WPARAM(dc), reinterpret_cast<LPARAM>(combo->Handle())));
  ReleaseDC(form->Handle(), dc);
  LOGBRUSH lb{};
  ASSERT_TRUE(brush && GetObjectA(brush, sizeof lb, &lb));
  EXPECT_EQ(lb.lbColor, clNavy);
  combo->SetEnabled(false);
  combo->Color = clFuchsia;
  combo->Invalidate();
  EXPECT_EQ(ScreenPixel(combo->Handle(), 4, 4), clFuchsia);
}

}  // namespace
