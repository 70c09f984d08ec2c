// The window layer under Wine, where the program's windows do not already show it.
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
#include "toolkit/StdCtrls.h"

namespace {

using Log = std::vector<std::string>;

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
  auto* box = Put<TPaintBox>(form, 20, 20, 50, 50);
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
  file->OnClick = [this](TComponent*) { stop->SetEnabled(true); };
  EXPECT_TRUE(form->IsShortCut(vk::F1 + 2, 0));
  EXPECT_EQ(log, Log{"Stop"});
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
  EXPECT_EQ(log, Log{"File"}) << "a menu opened with the mouse";
}

TEST_F(Toolkit, APageControlShowsOnlyTheActivePageBelowItsTabs) {
  auto* book = Put<TPageControl>(form, 5, 5, 280, 150);
  TTabSheet* first = book->AddPage("General");
  TTabSheet* second = book->AddPage("More");
  form->Show();
  EXPECT_TRUE(IsWindowVisible(first->Handle()) && !IsWindowVisible(second->Handle()));
  EXPECT_GT(first->Top(), 10) << "below the tabs";
  book->SetActivePage(second);
  EXPECT_TRUE(!IsWindowVisible(first->Handle()) && IsWindowVisible(second->Handle()));
  first->SetTabVisible(false);
  EXPECT_EQ(SendMessageA(book->Handle(), TCM_GETITEMCOUNT, 0, 0), 1);
}

TEST_F(Toolkit, AFocusedPushButtonTakesEnterFromTheDefaultButton) {
  Put<TButton>(form, 10, 10, 75, 23)->Default = true;
  auto* other = Put<TButton>(form, 90, 10, 75, 23);
  int clicks = 0;
  other->OnClick = [&](TComponent*) { ++clicks; };
  form->Show();
  SetFocus(other->Handle());
  EXPECT_TRUE(form->DialogKey(VK_RETURN));
  EXPECT_EQ(clicks, 1);
}

TEST_F(Toolkit, ALabelWithAccelCharsShowsADoubledAmpersandOnce) {
  auto paint = [&](const std::string& caption, bool accel) {
    auto* label = Make<TLabel>(form);
    label->ShowAccelChar = accel;
    label->SetCaption(caption);
    TBitmap b(label->Width(), label->Height());
    TCanvas canvas(b.DC());
    label->Paint(canvas);
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
    auto* box = Make<TPaintBox>(f);
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
  // The hot-key list of Easy Launch: window colour when enabled, button face when disabled.
  auto* combo = Put<TComboBox>(form, 10, 100, 114, 21);
  combo->Color = clNavy;
  auto* bar = Put<TToolBar>(outer, 0, 32, 100, 28);  // as the main window's, on a page
  bar->SetFlat(true);
  bar->SetTransparent(true);
  bar->AddButton("btn", -1);
  form->Show();
  form->Color = clRed;
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  EXPECT_EQ(ScreenPixel(inner->Handle(), 5, 5), clRed) << "the parent's change is followed";
  EXPECT_EQ(ScreenPixel(own->Handle(), 5, 5), clBlue) << "a colour of its own stays";
  EXPECT_EQ(ScreenPixel(bar->Handle(), 90, 14), clRed) << "a toolbar takes its page's colour";
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
