// The options dialog driven in-process under Wine.
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

struct OptionsDialog : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_TRUE(sandbox.Ok);
    MLS_VOCALET = std::make_unique<TVocaletMLSModule>(*MLSManager);
    MLS_VOCALET->Load(4);
    VMProperties = std::make_unique<TVMProperties>();
    app.OnException = [this](const std::exception* e) { errors.push_back(e ? e->what() : "?"); };
  }
  void TearDown() override {
    VMProperties.reset();
    MLS_VOCALET.reset();
    EasyLaunchPage.reset();
    OleUninitialize();
  }

  // Opens the dialog, runs `act` in it (which must close it); the dialog's result.
  bool Open(std::function<void(TPropertiesForm&)> act) {
    bool result = false;
    WhileModal([] { return PropertiesForm ? PropertiesForm->Handle() : nullptr; },
               [act] { act(*PropertiesForm); },
               [&] { result = ShowOptionsDialog(static_cast<HWND>(nullptr)); });
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
  EnglishTexts texts;
  TApplication app;
  std::vector<std::string> errors;
};

TEST_F(OptionsDialog, ShowsTheOptionsWithHintsWrappedAndHiddenUntilHelpMode) {
  VMProperties->GSM610 = true;
  VMProperties->PackOnSend = true;
  VMProperties->BeepOnRecord = false;
  VMProperties->AutoClose = true;
  Open([](TPropertiesForm& f) {
    EXPECT_EQ(f.Caption(), "Vocalet Options");
    EXPECT_EQ(f.Book->ActivePage(), f.tsGeneral);
    EXPECT_EQ(f.btnEasyLaunch->Caption(), "Easy Launch...");
    EXPECT_TRUE(f.cbEnableGSM->Checked());
    EXPECT_TRUE(f.rbPackOnSend->Enabled());
    EXPECT_TRUE(f.rbPackOnSend->Checked());
    EXPECT_FALSE(f.rbPackOnRecord->Checked());
    EXPECT_FALSE(f.cbBeepOnRecord->Checked());
    EXPECT_TRUE(f.cbAutoClose->Checked());
    EXPECT_NE(f.cbEnableGSM->Hint.find("your\r\nrecording"), std::string::npos);
    EXPECT_FALSE(f.cbEnableGSM->ShowHint);
    Click(f.btnCancel);
  });
}

TEST_F(OptionsDialog, TheRadioButtonsFollowTheCheckBox) {
  VMProperties->GSM610 = false;
  Open([](TPropertiesForm& f) {
    EXPECT_TRUE(f.rbPackOnRecord->Checked()) << "PackOnSend is off";
    for (bool on : {false, true, false}) {
      if (on != f.cbEnableGSM->Checked()) Click(f.cbEnableGSM);
      EXPECT_EQ(f.rbPackOnRecord->Enabled(), on);
      EXPECT_EQ(f.rbPackOnSend->Enabled(), on);
    }
    Click(f.btnCancel);
  });
}

TEST_F(OptionsDialog, OkAndEnterStoreTheFourOptionsCancelEscapeAndTheCloseBoxNothing) {
  const std::pair<std::function<void(TPropertiesForm&)>, bool> closings[] = {
      {[](TPropertiesForm& f) { Click(f.btnOK); }, true},
      {[](TPropertiesForm& f) { PostMessageA(f.cbAutoClose->Handle(), WM_KEYDOWN, VK_RETURN, 0); },
       true},
      {[](TPropertiesForm& f) { Click(f.btnCancel); }, false},
      {[](TPropertiesForm& f) { PostMessageA(f.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
      {[](TPropertiesForm& f) { PostMessageA(f.cbAutoClose->Handle(), WM_KEYDOWN, VK_ESCAPE, 0); },
       false}};
  for (const auto& [close, ok] : closings) {
    VMProperties->GSM610 = true;
    VMProperties->PackOnSend = false;
    VMProperties->AutoRecord = true;
    VMProperties->BeepOnRecord = false;
    VMProperties->AutoClose = false;
    EXPECT_EQ(Open([&](TPropertiesForm& f) {
                Click(f.rbPackOnSend);
                EXPECT_FALSE(f.rbPackOnRecord->Checked()) << "one choice of two";
                Click(f.cbEnableGSM);  // off; the choice stays
                Click(f.cbBeepOnRecord);
                Click(f.cbAutoClose);
                SetFocus(f.cbAutoClose->Handle());
                close(f);
              }),
              ok);
    EXPECT_EQ(VMProperties->GSM610, !ok);
    EXPECT_EQ(VMProperties->PackOnSend, ok);
    EXPECT_EQ(VMProperties->BeepOnRecord, ok);
    EXPECT_EQ(VMProperties->AutoClose, ok);
  }
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

TEST_F(OptionsDialog, HelpModeShowsHintsUnderTheHelpCursorAndEndsWithTheButtonOrTheDialog) {
  const HCURSOR help = LoadCursor(nullptr, IDC_HELP);
  app.HintPause = 10;
  Open([&](TPropertiesForm& f) {
    ClickGraphic(f.btnHelp);
    EXPECT_EQ(ScreenCursor(), help);
    // The mouse really rests on a box: the control asks to hear when it leaves.
    HWND box = f.cbBeepOnRecord->Handle();
    POINT p{5, 5};
    ClientToScreen(box, &p);
    SetCursorPos(p.x, p.y);
    SendMessageA(box, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    const DWORD end = GetTickCount() + 2000;
    while (!IsWindowVisible(app.HintWindow()) && GetTickCount() < end) {
      app.ProcessMessages();
      Sleep(5);
    }
    EXPECT_EQ(app.HintText(), f.cbBeepOnRecord->Hint);
    ClickGraphic(f.btnHelp);  // off again
    EXPECT_EQ(ScreenCursor(), nullptr);
    EXPECT_FALSE(f.cbEnableGSM->ShowHint);
    ClickGraphic(f.btnHelp);  // and on, then the dialog closes
    Click(f.btnCancel);
  });
  EXPECT_EQ(ScreenCursor(), nullptr);
}

TEST_F(OptionsDialog, ItsButtonOpensEasyLaunchAboveItAndFiftyOpeningsOfBothLeaveNoObjects) {
  auto openBoth = [&] {
    Open([&](TPropertiesForm& f) {
      ClickGraphic(f.btnHelp);
      WhileModal([] { return EasyLaunchDlg ? EasyLaunchDlg->Handle() : nullptr; },
                 [&] {
                   EXPECT_EQ(EasyLaunchPage->Title, "Quindle Vocalet");
                   EXPECT_FALSE(IsWindowEnabled(f.Handle())) << "the options wait below it";
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
}

}  // namespace
