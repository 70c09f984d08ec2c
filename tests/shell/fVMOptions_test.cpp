// The options dialog driven in-process under Wine: what it shows, what OK, Cancel and the
// close box store, help mode, the Easy Launch button; and no GDI or USER objects left behind
// by fifty openings of it and of the Easy Launch dialog.
#include "shell/fVMOptions.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "../desktop/EasyLaunchSandbox.h"
#include "GuiObjects.h"
#include "desktop/dEasyLaunch.h"
#include "mls/VocaletMLS.h"
#include "shell/vmOptions.h"
#include "toolkit/Screen.h"

namespace {

struct VocaletTexts : EnglishTexts {
  VocaletTexts() {
    MLS_VOCALET = std::make_unique<TVocaletMLSModule>(*MLSManager);
    MLS_VOCALET->Load(4);
  }
  ~VocaletTexts() { MLS_VOCALET.reset(); }
};

struct OptionsDialog : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_TRUE(sandbox.Ok);
    VMProperties = std::make_unique<TVMProperties>();
    app.OnException = [this](const std::exception* e) { errors.push_back(e ? e->what() : "?"); };
  }
  void TearDown() override {
    VMProperties.reset();
    EasyLaunchPage.reset();
    OleUninitialize();
  }

  // Opens the dialog, runs `act` in it (which must close it); the dialog's result.
  bool Open(std::function<void(TPropertiesForm&)> act) {
    bool result = false;
    WhileModal([] { return PropertiesForm ? PropertiesForm->Handle() : nullptr; },
               [act] { act(*PropertiesForm); }, [&] { result = ShowOptionsDialog(static_cast<HWND>(nullptr)); });
    return result;
  }
  // A click on a windowless control, as the mouse gives it to the control's window.
  static void ClickGraphic(TGraphicControl* c) {
    HWND h = c->Parent()->Handle();
    const LPARAM at = MAKELPARAM(c->Left() + 4, c->Top() + 4);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(h, WM_LBUTTONUP, 0, at);
  }

  RegistrySandbox sandbox;
  VocaletTexts texts;
  TApplication app;
  std::vector<std::string> errors;
};

TEST_F(OptionsDialog, ShowsTheOptionsAndItsEnglishTexts) {
  VMProperties->GSM610 = true;
  VMProperties->PackOnSend = true;
  VMProperties->BeepOnRecord = false;
  VMProperties->AutoClose = true;
  const bool ok = Open([](TPropertiesForm& f) {
    EXPECT_EQ(f.Caption(), "Vocalet Options");
    EXPECT_EQ(f.ClientWidth(), 374);
    EXPECT_EQ(f.ClientHeight(), 281);
    EXPECT_EQ(f.tsGeneral->Caption(), "General");
    EXPECT_EQ(f.Book->ActivePage(), f.tsGeneral);
    EXPECT_EQ(f.btnOK->Caption(), "OK");
    EXPECT_EQ(f.btnCancel->Caption(), "Cancel");
    EXPECT_EQ(f.btnEasyLaunch->Caption(), "Easy Launch...");
    EXPECT_EQ(f.LGeneral->Caption(), "Here you can customize the Quindle Vocalet behaviour.");
    EXPECT_EQ(f.rbPackOnSend->Caption(), "Compress message when sending");
    EXPECT_TRUE(f.cbEnableGSM->Checked());
    EXPECT_TRUE(f.rbPackOnSend->Enabled());
    EXPECT_TRUE(f.rbPackOnSend->Checked());
    EXPECT_FALSE(f.rbPackOnRecord->Checked());
    EXPECT_FALSE(f.cbBeepOnRecord->Checked());
    EXPECT_TRUE(f.cbAutoClose->Checked());
    // Hints are wrapped at 50 columns, and hidden until help mode.
    EXPECT_EQ(f.cbEnableGSM->Hint,
              "When selected, Vocalet will compress your\r\nrecording, so it becomes up to 10 "
              "times smaller in\r\nsize and will be sent over the Internet much\r\nfaster.");
    EXPECT_EQ(f.btnOK->Hint, "Click this button to save changes and exit.");
    EXPECT_FALSE(f.HelpMode());
    EXPECT_FALSE(f.cbEnableGSM->ShowHint);
    Click(f.btnCancel);
  });
  EXPECT_FALSE(ok);
}

TEST_F(OptionsDialog, TheRadioButtonsFollowTheCheckBox) {
  VMProperties->GSM610 = false;
  Open([](TPropertiesForm& f) {
    EXPECT_FALSE(f.cbEnableGSM->Checked());
    EXPECT_FALSE(f.rbPackOnRecord->Enabled());
    EXPECT_FALSE(f.rbPackOnSend->Enabled());
    EXPECT_TRUE(f.rbPackOnRecord->Checked()) << "PackOnSend is off";
    Click(f.cbEnableGSM);
    EXPECT_TRUE(f.rbPackOnRecord->Enabled());
    EXPECT_TRUE(f.rbPackOnSend->Enabled());
    Click(f.cbEnableGSM);
    EXPECT_FALSE(f.rbPackOnRecord->Enabled());
    EXPECT_FALSE(f.rbPackOnSend->Enabled());
    Click(f.btnCancel);
  });
}

TEST_F(OptionsDialog, OkStoresTheFourOptionsPackOnSendEvenWithGsmOff) {
  VMProperties->GSM610 = true;
  VMProperties->PackOnSend = false;
  VMProperties->AutoRecord = true;
  VMProperties->BeepOnRecord = false;
  VMProperties->AutoClose = false;
  const bool ok = Open([](TPropertiesForm& f) {
    Click(f.rbPackOnSend);
    EXPECT_FALSE(f.rbPackOnRecord->Checked()) << "one choice of two";
    Click(f.cbEnableGSM);  // off, the choice stays
    Click(f.cbBeepOnRecord);
    Click(f.cbAutoClose);
    Click(f.btnOK);
  });
  EXPECT_TRUE(ok);
  EXPECT_FALSE(VMProperties->GSM610);
  EXPECT_TRUE(VMProperties->PackOnSend);
  EXPECT_TRUE(VMProperties->BeepOnRecord);
  EXPECT_TRUE(VMProperties->AutoClose);
  EXPECT_TRUE(errors.empty());
}

TEST_F(OptionsDialog, WithoutAutoRecordOkSwitchesTheBeepOff) {
  VMProperties->AutoRecord = false;
  VMProperties->BeepOnRecord = true;
  Open([](TPropertiesForm& f) {
    EXPECT_TRUE(f.cbBeepOnRecord->Checked());
    Click(f.btnOK);
  });
  EXPECT_FALSE(VMProperties->BeepOnRecord);
}

TEST_F(OptionsDialog, CancelEscapeAndTheCloseBoxStoreNothing) {
  VMProperties->GSM610 = true;
  VMProperties->PackOnSend = false;
  VMProperties->BeepOnRecord = true;
  VMProperties->AutoClose = false;
  auto change = [](TPropertiesForm& f) {
    Click(f.rbPackOnSend);
    Click(f.cbEnableGSM);
    Click(f.cbBeepOnRecord);
    Click(f.cbAutoClose);
  };
  EXPECT_FALSE(Open([&](TPropertiesForm& f) {
    change(f);
    Click(f.btnCancel);
  }));
  EXPECT_FALSE(Open([&](TPropertiesForm& f) {
    change(f);
    PostMessageA(f.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  }));
  EXPECT_FALSE(Open([&](TPropertiesForm& f) {
    change(f);
    SetFocus(f.cbAutoClose->Handle());
    PostMessageA(f.cbAutoClose->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  }));
  EXPECT_TRUE(VMProperties->GSM610);
  EXPECT_FALSE(VMProperties->PackOnSend);
  EXPECT_TRUE(VMProperties->BeepOnRecord);
  EXPECT_FALSE(VMProperties->AutoClose);
}

TEST_F(OptionsDialog, EnterIsOk) {
  VMProperties->AutoClose = false;
  EXPECT_TRUE(Open([](TPropertiesForm& f) {
    Click(f.cbAutoClose);
    SetFocus(f.cbAutoClose->Handle());
    PostMessageA(f.cbAutoClose->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  }));
  EXPECT_TRUE(VMProperties->AutoClose);
}

TEST_F(OptionsDialog, HelpModeShowsHintsWithTheHelpCursorAndEndsWithTheButtonOrTheDialog) {
  const HCURSOR help = LoadCursor(nullptr, IDC_HELP);
  Open([&](TPropertiesForm& f) {
    ClickGraphic(f.btnHelp);
    EXPECT_TRUE(f.btnHelp->Down());
    EXPECT_TRUE(f.HelpMode());
    EXPECT_EQ(ScreenCursor(), help);
    EXPECT_TRUE(f.cbEnableGSM->ShowHint);
    EXPECT_TRUE(f.btnOK->ShowHint);
    // Over any control of ours the help cursor shows.
    HWND box = f.cbEnableGSM->Handle();
    SendMessageA(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(box), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), help);
    ClickGraphic(f.btnHelp);  // off again
    EXPECT_FALSE(f.HelpMode());
    EXPECT_EQ(ScreenCursor(), nullptr);
    EXPECT_FALSE(f.cbEnableGSM->ShowHint);
    ClickGraphic(f.btnHelp);  // and on, then the dialog closes
    EXPECT_EQ(ScreenCursor(), help);
    Click(f.btnCancel);
  });
  EXPECT_EQ(ScreenCursor(), nullptr);
}

TEST_F(OptionsDialog, HelpModeShowsAControlsHintWhenTheMouseRests) {
  app.HintPause = 10;
  Open([&](TPropertiesForm& f) {
    ClickGraphic(f.btnHelp);
    // The mouse really rests there: the control asks to hear when it leaves.
    HWND box = f.cbBeepOnRecord->Handle();
    POINT p{5, 5};
    ClientToScreen(box, &p);
    SetCursorPos(p.x, p.y);
    SendMessageA(box, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    const DWORD end = GetTickCount() + 2000;
    while (!(app.HintWindow() && IsWindowVisible(app.HintWindow())) && GetTickCount() < end) {
      app.ProcessMessages();
      Sleep(5);
    }
    EXPECT_EQ(app.HintText(), f.cbBeepOnRecord->Hint);
    EXPECT_NE(app.HintText().find("\r\n"), std::string::npos);
    Click(f.btnCancel);
  });
}

TEST_F(OptionsDialog, TheEasyLaunchButtonOpensEasyLaunchForQuindleVocalet) {
  std::string caption, title;
  Open([&](TPropertiesForm& f) {
    WhileModal([] { return EasyLaunchDlg ? EasyLaunchDlg->Handle() : nullptr; },
               [&] {
                 caption = EasyLaunchDlg->Caption();
                 title = EasyLaunchPage->Title;
                 EXPECT_FALSE(IsWindowEnabled(f.Handle())) << "the options wait below it";
                 Click(EasyLaunchDlg->btnCancel);
               },
               [&] { Click(f.btnEasyLaunch); });
    EXPECT_TRUE(IsWindowEnabled(f.Handle()));
    Click(f.btnCancel);
  });
  EXPECT_EQ(caption, "Easy Launch Settings");
  EXPECT_EQ(title, "Quindle Vocalet");
}

TEST_F(OptionsDialog, FiftyOpeningsOfBothDialogsLeaveNoGdiOrUserObjects) {
  auto openBoth = [&] {
    Open([&](TPropertiesForm& f) {
      ClickGraphic(f.btnHelp);
      WhileModal([] { return EasyLaunchDlg ? EasyLaunchDlg->Handle() : nullptr; },
                 [] {
                   EasyLaunchDlg->Repaint();
                   UpdateWindow(EasyLaunchDlg->Handle());
                   Click(EasyLaunchDlg->btnCancel);
                 },
                 [&] { Click(f.btnEasyLaunch); });
      f.Repaint();
      UpdateWindow(f.Handle());
      Click(f.btnCancel);
    });
    app.ProcessMessages();
  };
  // The first rounds create what lives for the whole run (classes, cached system objects).
  openBoth();
  openBoth();
  const DWORD gdi = GdiObjectCount(), user = UserObjectCount();
  for (int i = 0; i < 50; ++i) openBoth();
  EXPECT_EQ(GdiObjectCount(), gdi);
  EXPECT_EQ(UserObjectCount(), user);
  std::printf("GDI objects %lu, USER objects %lu\n", gdi, user);
}

TEST(GuiObjects, TheCountsSeeOneObjectComeAndGo) {
  const DWORD gdi = GdiObjectCount(), user = UserObjectCount();
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  EXPECT_EQ(GdiObjectCount(), gdi + 1);
  DeleteObject(pen);
  EXPECT_EQ(GdiObjectCount(), gdi);
  HICON icon = CopyIcon(LoadIcon(nullptr, IDI_APPLICATION));
  EXPECT_EQ(UserObjectCount(), user + 1);
  DestroyIcon(icon);
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                nullptr, nullptr);
  EXPECT_GT(UserObjectCount(), user);  // with what the system adds for it
  DestroyWindow(window);
  EXPECT_EQ(UserObjectCount(), user);
  EXPECT_EQ(GdiObjectCount(), gdi);
}

}  // namespace
