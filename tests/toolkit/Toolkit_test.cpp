// The window layer under Wine: ownership, the message loop, errors that escape a command,
// timers and painting of windowless controls.
#include <gtest/gtest.h>

#include <stdexcept>

#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

namespace {

struct Tracked : TComponent {
  Tracked(TComponent* owner, std::vector<std::string>* log, std::string name)
      : TComponent(owner), log_(log) {
    Name = std::move(name);
  }
  ~Tracked() override { log_->push_back(Name); }
  std::vector<std::string>* log_;
};

TEST(Component, OwnerFreesItsComponentsLastCreatedFirst) {
  std::vector<std::string> log;
  {
    TComponent owner(nullptr);
    Make<Tracked>(&owner, &log, "a");
    auto* b = Make<Tracked>(&owner, &log, "b");
    Make<Tracked>(b, &log, "b.child");
    Make<Tracked>(&owner, &log, "c");
    EXPECT_EQ(owner.ComponentCount(), 3u);
    auto* d = Make<Tracked>(&owner, &log, "d");
    owner.FreeComponent(d);
    EXPECT_EQ(log, std::vector<std::string>{"d"});
  }
  // A component's own destructor runs before the components it owns go.
  EXPECT_EQ(log, (std::vector<std::string>{"d", "c", "b", "b.child", "a"}));
}

struct Box : TGraphicControl {
  using TGraphicControl::TGraphicControl;
  void Paint(TCanvas& c) override {
    c.SetBrushColor(Color);
    RECT r = ClientRect();
    c.FillRect(r);
  }
};

struct Fixture : ::testing::Test {
  TApplication app;
  std::vector<std::string> errors;
  void SetUp() override {
    app.OnException = [this](const std::exception* e) {
      errors.push_back(e ? e->what() : "?");
    };
  }
  void Pump(int ms) {
    DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
      app.ProcessMessages();
      Sleep(5);
    }
  }
};

TEST_F(Fixture, AnErrorInAClickHandlerReachesTheErrorBoxAndTheWindowStaysUsable) {
  TForm* form = app.CreateForm<TForm>();
  form->SetBounds(10, 10, 200, 150);
  auto* box = Make<Box>(form);
  box->SetParent(form);
  box->SetBounds(20, 20, 50, 50);
  int clicks = 0;
  box->OnClick = [&](TComponent*) {
    if (++clicks == 1) throw std::runtime_error("first click fails");
  };
  form->Show();
  app.ProcessMessages();
  HWND h = form->Handle();
  for (int i = 0; i < 2; ++i) {
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(30, 30));
  }
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(errors, std::vector<std::string>{"first click fails"});
  EXPECT_TRUE(IsWindow(h));
  // A click outside the box is the form's, not the box's.
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 100));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(150, 100));
  EXPECT_EQ(clicks, 2);
}

TEST_F(Fixture, GraphicControlsArePaintedByTheirParentInZOrder) {
  TForm* form = app.CreateForm<TForm>();
  form->BorderStyle = bsNone;
  form->SetBounds(0, 0, 100, 100);
  form->Color = clWhite;
  auto* under = Make<Box>(form);
  under->SetParent(form);
  under->SetBounds(10, 10, 40, 40);
  under->Color = clRed;
  auto* over = Make<Box>(form);
  over->SetParent(form);
  over->SetBounds(30, 30, 40, 40);
  over->Color = clBlue;
  form->Show();
  UpdateWindow(form->Handle());
  // Print the window into a picture and look at it.
  TBitmap shot(100, 100);
  SendMessageA(form->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.DC()), PRF_CLIENT);
  HDC dc = GetDC(form->Handle());
  BitBlt(shot.DC(), 0, 0, 100, 100, dc, 0, 0, SRCCOPY);
  ReleaseDC(form->Handle(), dc);
  EXPECT_EQ(shot.Pixel(5, 5), clWhite);
  EXPECT_EQ(shot.Pixel(15, 15), clRed);
  EXPECT_EQ(shot.Pixel(35, 35), clBlue);  // the later control lies on top
  EXPECT_EQ(shot.Pixel(65, 65), clBlue);
  under->SetVisible(false);
  UpdateWindow(form->Handle());
  dc = GetDC(form->Handle());
  BitBlt(shot.DC(), 0, 0, 100, 100, dc, 0, 0, SRCCOPY);
  ReleaseDC(form->Handle(), dc);
  EXPECT_EQ(shot.Pixel(15, 15), clWhite);
}

TEST_F(Fixture, TimerFiresUntilDisabled) {
  TComponent owner(nullptr);
  auto* t = Make<TTimer>(&owner);
  int ticks = 0;
  t->SetInterval(20);
  t->OnTimer = [&](TComponent* s) {
    EXPECT_EQ(s, t);
    ++ticks;
  };
  Pump(300);
  EXPECT_GE(ticks, 3);
  t->SetEnabled(false);
  int stopped = ticks;
  Pump(150);
  EXPECT_EQ(ticks, stopped);
}

TEST_F(Fixture, HintOfAControlDestroyedDuringThePauseNeverShows) {
  app.HintPause = 10;
  {
    TComponent dialog(nullptr);
    auto* form = Make<TForm>(&dialog);
    auto* box = Make<Box>(form);
    box->SetParent(form);
    box->Hint = "a hint of a closing dialog";
    box->ShowHint = true;
    app.HintMouseMove(box);
  }  // the dialog closes within the pause
  Pump(200);
  EXPECT_TRUE(!app.HintWindow() || !IsWindowVisible(app.HintWindow()));
  EXPECT_EQ(app.HintText(), "");
}

TEST_F(Fixture, ClosingTheMainFormEndsTheLoop) {
  TForm* form = app.CreateForm<TForm>();
  int closed = 0;
  form->OnClose = [&](TComponent*, TCloseAction&) { ++closed; };
  form->Show();
  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  app.Run();  // returns once the main form closed
  EXPECT_EQ(closed, 1);
  EXPECT_TRUE(app.Terminated());
}

TEST_F(Fixture, ShowModalReturnsTheResultAndReenablesTheOwner) {
  TForm* main = app.CreateForm<TForm>();
  main->Show();
  SetActiveWindow(main->Handle());
  TForm* dlg = app.CreateForm<TForm>();
  dlg->BorderStyle = bsDialog;
  auto* t = Make<TTimer>(dlg);
  t->SetInterval(30);
  bool ownerWasDisabled = false;
  t->OnTimer = [&](TComponent*) {
    ownerWasDisabled = !IsWindowEnabled(main->Handle());
    dlg->ModalResult = mrOk;
  };
  EXPECT_EQ(dlg->ShowModal(), mrOk);
  EXPECT_TRUE(ownerWasDisabled);
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_FALSE(IsWindowVisible(dlg->Handle()));
}

TEST(Bitmap, TransparentDrawLeavesTheKeyColourOut) {
  TBitmap src(4, 1), dst(4, 1);
  SetPixel(src.DC(), 0, 0, clLime);
  SetPixel(src.DC(), 1, 0, clRed);
  SetPixel(src.DC(), 2, 0, clLime);
  SetPixel(src.DC(), 3, 0, clBlue);
  RECT r{0, 0, 4, 1};
  FillRect(dst.DC(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  src.Transparent = true;
  src.TransparentColor = clLime;
  src.Draw(dst.DC(), 0, 0);
  EXPECT_EQ(dst.Pixel(0, 0), clBlack);
  EXPECT_EQ(dst.Pixel(1, 0), clRed);
  EXPECT_EQ(dst.Pixel(2, 0), clBlack);
  EXPECT_EQ(dst.Pixel(3, 0), clBlue);
}

}  // namespace
